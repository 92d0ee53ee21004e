#pragma once

#include <QObject>
#include <QString>

class Viewer;

// The layer commands of the drawing shown by a viewer, as the layers list asks for them. Each
// change of the drawing's layers is one undo step of the viewer's document ("New Layer",
// "Delete Layer", "Rename Layer", "Move Layer", "Show Layer", "Hide Layer", "Lock Layer",
// "Unlock Layer", "Layer Opacity", "Move to Layer"), with its recovery copy; a run of opacity
// values (a spin box held down) is one step. The current layer is editing state: choosing it
// is no step. Layers are named by their index in the drawing, 0 the bottom one; an index out of
// range changes nothing.
//
// The mouse edits only the current layer (layer_editing.h): whenever the drawing or its current
// layer changes, a current curve or selected curves outside it are dropped.
class LayerCommands : public QObject {
    Q_OBJECT

public:
    // Works on `viewer`, which must outlive this object.
    explicit LayerCommands(Viewer& viewer);

public Q_SLOTS:
    // Adds an empty layer above the current one and makes it current.
    void addLayer();
    // Deletes a layer with its curves; the drawing's only layer stays.
    void deleteLayer(int layer);
    // An empty name (after trimming) is refused.
    void renameLayer(int layer, const QString& name);
    void moveLayer(int from, int to);
    void setLayerVisible(int layer, bool visible);
    void setLayerLocked(int layer, bool locked);
    // 0 (transparent) .. 100 %.
    void setLayerOpacity(int layer, int percent);
    void setCurrentLayer(int layer);
    // Moves the selected curves (or the current curve) into `layer`, which becomes current so
    // that they stay selected.
    void moveSelectionToLayer(int layer);

Q_SIGNALS:
    // The layers, their settings, their curve counts or the current layer may have changed: the
    // list shows them again. Also sent after a refused change, so that the list drops what
    // the user typed or ticked.
    void layersChanged();

private:
    // Runs `change` on the curve set as the step `step` (merged with a mergeable step of the
    // same name right before it when `mergeable`), and shows the drawing's layers again.
    template <typename Change>
    void edit(const QString& step, Change change, bool mergeable = false);
    void refresh();

    Viewer& viewer;
};
