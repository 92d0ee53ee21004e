#pragma once

#include <QString>

class CurveSet;

// Layers of a drawing. A drawing is an ordered list of layers, bottom first; each layer owns a
// contiguous run of the set's flat curve array (`CurveSet::curves`): layer 0 holds the first
// `curveCount` curves, layer 1 the next ones, and so on. Code that only walks `curves` sees every
// curve of every layer in drawing order, bottom layer first. A drawing always has at least one
// layer; `CurveSet::layerRange` and `CurveSet::layerOfCurve` give the run of a layer and the
// layer of a curve.
//
// The operations below are edits of the drawing's value: each returns whether it changed
// anything, so that a caller recording undo steps records only real changes. They keep the
// curves, the layers' counts, the selection list and current_curve consistent (indices are
// renumbered to keep naming the same curves). Out-of-range layer indices change nothing.
//
// Flags are data here: `visible` and `opacity` say how the renderer composites a layer and
// `locked` says that the editor must not let the mouse change its curves; the model enforces
// neither.

// Most layers a drawing may hold (the renderer keeps a picture per layer).
constexpr int kMaxLayers = 256;
// Longest layer name, in UTF-16 code units.
constexpr int kMaxLayerNameLength = 256;

struct Layer {
    QString name;
    bool visible = true;
    bool locked = false;
    double opacity = 1.0; // 0 (transparent) .. 1 (opaque)
    int curveCount = 0;   // curves of the run this layer owns

    // Everything but curveCount, the attributes a layer element of the file carries.
    bool sameSettings(const Layer& other) const
    {
        return name == other.name && visible == other.visible && locked == other.locked
               && opacity == other.opacity;
    }
    bool operator==(const Layer& other) const
    {
        return sameSettings(other) && curveCount == other.curveCount;
    }
    bool operator!=(const Layer& other) const { return !(*this == other); }
};

// Curves first .. end - 1 of the flat array.
struct CurveRange {
    int first = 0;
    int end = 0;
    int size() const { return end - first; }
    bool contains(int i) const { return i >= first && i < end; }
};

// The name of the layer of a new drawing, and of a drawing read from a file without layers.
QString firstLayerName();
// "Layer N" with the smallest N >= 1 that no layer of `set` is named.
QString defaultLayerName(const CurveSet& set);
// `name` without control characters, cut to kMaxLayerNameLength.
QString cleanLayerName(const QString& name);
// True when the drawing is one visible, unlocked, opaque layer of the first layer's name: the
// drawing every file without layers reads as, and the file writer writes without a layer element.
bool isSingleDefaultLayer(const CurveSet& set);

// Inserts an empty layer right above the current layer and makes it current. An empty `name`
// gives defaultLayerName. Returns its index, -1 (nothing changed) when the drawing already has
// kMaxLayers layers.
int addLayer(CurveSet& set, const QString& name = QString());
// Removes a layer with its curves (dropped from the selection; a removed current curve leaves
// none current). The current layer becomes the one below the removed one when the removed one
// was current. False when it is the drawing's only layer or out of range.
bool deleteLayer(CurveSet& set, int layer);
// Gives the layer cleanLayerName(name).
bool renameLayer(CurveSet& set, int layer, const QString& name);
// Moves layer `from` with its curves so that it ends at index `to` (0 bottom); the current layer
// stays the same layer.
bool moveLayer(CurveSet& set, int from, int to);
bool setLayerVisible(CurveSet& set, int layer, bool visible);
bool setLayerLocked(CurveSet& set, int layer, bool locked);
// Opacity is clamped to 0 .. 1; a non-finite value changes nothing.
bool setLayerOpacity(CurveSet& set, int layer, double opacity);
// The layer new curves go into (newCurve, addCurve, paste). Leaves the selection and the
// current curve as they are: what the mouse may edit is the editor's choice.
bool setCurrentLayer(CurveSet& set, int layer);
// Moves the selected curves and the current curve that lie in other layers to the top of `layer`
// (the end of its run), keeping their order; they stay selected (current). Curves already in
// `layer` stay where they are. Returns the number of curves moved.
int moveSelectionToLayer(CurveSet& set, int layer);
