#include "attribute_point_tools.h"

#include "viewer.h"
#include "viewer_settings.h"

namespace {

// Name of the history step that edits the attribute point `kind`.
QString attributeStepName(PickKind kind)
{
    switch (kind) {
    case PickKind::BlurPoint: return "Blur Point";
    case PickKind::LeftColorPoint: return "Left Color Point";
    case PickKind::RightColorPoint: return "Right Color Point";
    default: return "Attribute Point";
    }
}

bool isAttributePoint(PickKind kind)
{
    return kind == PickKind::BlurPoint || kind == PickKind::LeftColorPoint
           || kind == PickKind::RightColorPoint;
}

bool isColorPoint(PickKind kind)
{
    return kind == PickKind::LeftColorPoint || kind == PickKind::RightColorPoint;
}

} // namespace

AttributePointTool::AttributePointTool(Viewer& viewer, ContextMenuController& menus,
                                       ViewerSettings& settings)
    : CurvePointTool(viewer, menus), settings(settings)
{
}

void AttributePointTool::pressItem(const PickHit& item, const QMouseEvent&)
{
    if (item.kind == PickKind::BlurPoint) {
        // The blur edit (blur_edit_commands.h) opens its own gesture with the panel's slider.
        settings.setCurrentAttribute(item.index);
        emit settings.blurPointPressed(item.index);
    } else if (isAttributePoint(item.kind)) {
        viewer.document().recordEdit(attributeStepName(item.kind), [&] { askPointColor(item); });
    }
}

void AttributePointTool::askPointColor(const PickHit& point)
{
    settings.setCurrentAttribute(point.index);
    const CurveSet& curves = viewer.curves();
    // The panel runs its colour dialog and answers through setControlPoint*Color.
    if (point.kind == PickKind::LeftColorPoint)
        emit settings.changeControlPointLeftColor(curves.currentCurveLeftColor(point.index));
    else if (point.kind == PickKind::RightColorPoint)
        emit settings.changeControlPointRightColor(curves.currentCurveRightColor(point.index));
}

void BucketTool::pressItem(const PickHit& item, const QMouseEvent&)
{
    if (isColorPoint(item.kind)) {
        // As setControlPoint*Color, without its quick update: the full update follows.
        settings.setCurrentAttribute(item.index);
        CurveSet& curves = viewer.curves();
        const QColor bucket = settings.bucketColor();
        viewer.document().recordEdit("Paint Bucket", [&] {
            if (item.kind == PickKind::LeftColorPoint)
                curves.setLeftColorOf(bucket, item.index);
            else
                curves.setRightColorOf(bucket, item.index);
        });
    }
}
