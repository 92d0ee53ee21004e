#include "pick_names.h"

namespace {

// Kind numbers of attribute point names (10000 * kind + index).
constexpr unsigned kBlurKind = 1;
constexpr unsigned kLeftKind = 2;
constexpr unsigned kRightKind = 3;

PickHit hit(PickKind kind, int curve = -1, int index = -1) { return {kind, curve, index}; }

PickHit attributePoint(unsigned name, int curve)
{
    const int index = static_cast<int>(name % kPickPointNameBase);
    switch (name / kPickPointNameBase) {
    case kBlurKind: return hit(PickKind::BlurPoint, curve, index);
    case kLeftKind: return hit(PickKind::LeftColorPoint, curve, index);
    case kRightKind: return hit(PickKind::RightColorPoint, curve, index);
    default: return hit(PickKind::Nothing);
    }
}

PickHit selectMultiItem(unsigned name, PickPurpose purpose)
{
    switch (purpose) {
    case PickPurpose::Press:
        return name == kPickNameBox ? hit(PickKind::Selection) : hit(PickKind::Nothing);
    case PickPurpose::Toggle:
    case PickPurpose::Scribble: return hit(PickKind::Curve, static_cast<int>(name));
    default: return hit(PickKind::Nothing);
    }
}

// An item of the current curve `curve` in mode 0, 2 or 8.
PickHit currentCurveItem(unsigned name, const PickContext& context)
{
    const int curve = context.currentCurve;
    const bool attributes = context.mode != ModeMovePoint;
    if (name == kPickNameNothing)
        return hit(PickKind::Nothing);
    if (name == kPickNameBox)
        return hit(PickKind::CurveBox, curve);
    if (context.purpose == PickPurpose::Press) {
        if (name == kPickNameBody)
            return hit(PickKind::CurveBody, curve);
        if (name < kPickPointNameBase)
            return hit(PickKind::Nothing);
        if (attributes)
            return attributePoint(name, curve);
        return hit(PickKind::ControlPoint, curve, static_cast<int>(name - kPickPointNameBase));
    }
    if (!attributes && name >= kPickPointNameBase)
        return hit(PickKind::ControlPoint, curve, static_cast<int>(name - kPickPointNameBase));
    if (name >= static_cast<unsigned>(kSamplesPerSegment))
        return hit(PickKind::CurvePosition, curve, static_cast<int>(name) - kSamplesPerSegment);
    return hit(PickKind::Nothing);
}

} // namespace

bool operator==(const PickHit& a, const PickHit& b)
{
    return a.kind == b.kind && a.curve == b.curve && a.index == b.index;
}

unsigned attributePointPickName(AttributeKind list, int i)
{
    const unsigned kind = list == Blur ? kBlurKind : list == LeftColor ? kLeftKind : kRightKind;
    return kind * kPickPointNameBase + static_cast<unsigned>(i);
}

unsigned samplePiecePickName(int segment, double t)
{
    const double name = kSamplesPerSegment * (segment + 1) + kSamplesPerSegment * t;
    return static_cast<unsigned>(name);
}

unsigned encodePickName(const PickHit& hit)
{
    switch (hit.kind) {
    case PickKind::Curve: return curvePickName(hit.curve);
    case PickKind::Selection:
    case PickKind::CurveBox: return kPickNameBox;
    case PickKind::CurveBody: return kPickNameBody;
    case PickKind::ControlPoint: return controlPointPickName(hit.index);
    case PickKind::BlurPoint: return attributePointPickName(Blur, hit.index);
    case PickKind::LeftColorPoint: return attributePointPickName(LeftColor, hit.index);
    case PickKind::RightColorPoint: return attributePointPickName(RightColor, hit.index);
    case PickKind::CurvePosition: return curvePositionPickName(hit.index);
    case PickKind::Nothing: break;
    }
    return kPickNameNothing;
}

PickHit decodePickName(unsigned name, const PickContext& context)
{
    const ManipulationMode mode = context.mode;
    if (mode == ModeSelectMulti)
        return selectMultiItem(name, context.purpose);
    const bool pointModes = mode == ModeMovePoint || mode == ModeSelectCurve
                            || mode == ModeModifAttrib || mode == ModeBucket;
    if (!pointModes)
        return hit(PickKind::Nothing);
    if (context.currentCurve < 0)
        return hit(PickKind::Curve, static_cast<int>(name));
    if (mode == ModeSelectCurve)
        return hit(PickKind::Nothing);
    return currentCurveItem(name, context);
}
