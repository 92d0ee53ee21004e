#include "layer_commands.h"

#include "curve_set_layers.h"
#include "layer_editing.h"
#include "viewer.h"

LayerCommands::LayerCommands(Viewer& shown) : viewer(shown)
{
    Document& document = viewer.document();
    connect(&document, &Document::drawingEdited, this, [this](const DrawingEdit& edit) {
        // A drag changes only curves: the layers stay as they are until it ends.
        if (edit.inGesture && !edit.everything && !edit.change.changesWholeDrawing())
            return;
        refresh();
    });
}

void LayerCommands::refresh()
{
    if (keepEditingInCurrentLayer(viewer.curves()))
        viewer.requestRepaint();
    emit layersChanged();
}

template <typename Change>
void LayerCommands::edit(const QString& step, Change change, bool mergeable)
{
    Document& document = viewer.document();
    document.finishGesture();
    CurveSet& curves = viewer.curves();
    document.recordEdit(
        step, [&] { change(curves); }, mergeable);
    refresh(); // also when nothing changed: the list shows the drawing again
    viewer.requestRepaint();
}

void LayerCommands::addLayer()
{
    edit("New Layer", [this](CurveSet& curves) {
        if (::addLayer(curves) < 0)
            emit viewer.outcomeReported(
                QString("No new layer: a drawing holds at most %1 layers").arg(kMaxLayers));
    });
}

void LayerCommands::deleteLayer(int layer)
{
    edit("Delete Layer", [layer](CurveSet& curves) { ::deleteLayer(curves, layer); });
}

void LayerCommands::renameLayer(int layer, const QString& name)
{
    if (name.trimmed().isEmpty()) {
        emit viewer.outcomeReported("A layer needs a name");
        refresh();
        return;
    }
    edit("Rename Layer", [&](CurveSet& curves) { ::renameLayer(curves, layer, name.trimmed()); });
}

void LayerCommands::moveLayer(int from, int to)
{
    edit("Move Layer", [&](CurveSet& curves) { ::moveLayer(curves, from, to); });
}

void LayerCommands::setLayerVisible(int layer, bool visible)
{
    edit(visible ? "Show Layer" : "Hide Layer",
         [&](CurveSet& curves) { ::setLayerVisible(curves, layer, visible); });
}

void LayerCommands::setLayerLocked(int layer, bool locked)
{
    edit(locked ? "Lock Layer" : "Unlock Layer",
         [&](CurveSet& curves) { ::setLayerLocked(curves, layer, locked); });
}

void LayerCommands::setLayerOpacity(int layer, int percent)
{
    edit(
        "Layer Opacity",
        [&](CurveSet& curves) { ::setLayerOpacity(curves, layer, percent / 100.0); }, true);
}

void LayerCommands::setCurrentLayer(int layer)
{
    viewer.document().finishGesture();
    ::setCurrentLayer(viewer.curves(), layer);
    refresh();
    viewer.requestRepaint();
}

void LayerCommands::moveSelectionToLayer(int layer)
{
    int moved = 0;
    edit("Move to Layer", [&](CurveSet& curves) {
        moved = ::moveSelectionToLayer(curves, layer);
        // The moved curves stay selected: their new layer is the one the mouse edits now.
        if (moved > 0)
            ::setCurrentLayer(curves, layer);
    });
    const CurveSet& curves = viewer.curves();
    if (moved == 0) {
        emit viewer.outcomeReported("Nothing to move: select splines, then choose another layer");
        return;
    }
    emit viewer.outcomeReported(QString("Moved %1 spline%2 to %3")
                                    .arg(moved)
                                    .arg(moved == 1 ? "" : "s")
                                    .arg(curves.layers[curves.currentLayer()].name));
}
