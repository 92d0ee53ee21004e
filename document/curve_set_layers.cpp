#include "curve_set_layers.h"

#include "curve_set.h"
#include "curve_set_selection.h"

#include <algorithm>
#include <cmath>

namespace {

bool validLayer(const CurveSet& set, int layer) { return layer >= 0 && layer < set.layers.size(); }

// Rebuilds the curve array from `order`, the old indices of the curves in their new order (old
// curves it leaves out are removed). The selection list and current_curve are renumbered to
// keep naming the same curves; entries of removed curves are dropped. The caller sets the
// layers' counts to match.
void rearrangeCurves(CurveSet& set, const QVector<int>& order)
{
    QVector<int> newIndex(set.curves.size(), -1);
    QVector<Curve> rearranged;
    rearranged.reserve(order.size());
    for (int k = 0; k < order.size(); ++k) {
        newIndex[order[k]] = k;
        rearranged.append(set.curves[order[k]]);
    }
    auto renumbered = [&](int i) { return i >= 0 && i < newIndex.size() ? newIndex[i] : -1; };
    QVector<int> selection;
    for (int s : set.selection)
        if (renumbered(s) >= 0)
            selection.append(renumbered(s));
    set.curves = rearranged;
    set.nb_curves = set.curves.size();
    set.selection = selection;
    set.current_curve = renumbered(set.current_curve);
    selectionBox(set);
    selectionHull(set);
}

// Appends the indices first .. end - 1 to `order`.
void appendRun(QVector<int>& order, const CurveRange& run)
{
    for (int i = run.first; i < run.end; ++i)
        order.append(i);
}

bool isControlCharacter(QChar c)
{
    return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format
           || c.unicode() == 0xfffe || c.unicode() == 0xffff;
}

} // namespace

QString firstLayerName() { return QStringLiteral("Layer 1"); }

QString defaultLayerName(const CurveSet& set)
{
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("Layer %1").arg(n);
        if (std::none_of(set.layers.begin(), set.layers.end(),
                         [&](const Layer& layer) { return layer.name == name; }))
            return name;
    }
}

QString cleanLayerName(const QString& name)
{
    QString clean;
    clean.reserve(std::min(int(name.size()), kMaxLayerNameLength));
    for (int i = 0; i < name.size() && clean.size() < kMaxLayerNameLength; ++i) {
        const QChar c = name[i];
        // A lone surrogate is no character: XML cannot carry it.
        const bool pairStart =
            c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate();
        if (pairStart) {
            if (clean.size() + 2 > kMaxLayerNameLength)
                break;
            clean += c;
            clean += name[++i];
        } else if (!c.isSurrogate() && !isControlCharacter(c)) {
            clean += c;
        }
    }
    return clean;
}

bool isSingleDefaultLayer(const CurveSet& set)
{
    if (set.layers.size() != 1)
        return false;
    const Layer& layer = set.layers.first();
    return layer.visible && !layer.locked && layer.opacity == 1.0 && layer.name == firstLayerName();
}

int addLayer(CurveSet& set, const QString& name)
{
    set.fitLayersToCurves();
    if (set.layers.size() >= kMaxLayers)
        return -1;
    const QString clean = cleanLayerName(name);
    Layer layer;
    layer.name = clean.isEmpty() ? defaultLayerName(set) : clean;
    const int at = set.currentLayer() + 1;
    set.layers.insert(at, layer);
    set.current_layer = at;
    return at;
}

bool deleteLayer(CurveSet& set, int layer)
{
    set.fitLayersToCurves();
    if (!validLayer(set, layer) || set.layers.size() < 2)
        return false;
    const CurveRange run = set.layerRange(layer);
    QVector<int> order;
    appendRun(order, CurveRange{0, run.first});
    appendRun(order, CurveRange{run.end, int(set.curves.size())});
    // Selected flags of removed curves go with them; the others keep theirs.
    rearrangeCurves(set, order);
    set.layers.remove(layer);
    if (set.current_layer > layer || (set.current_layer == layer && layer > 0))
        --set.current_layer;
    set.fitLayersToCurves();
    return true;
}

bool renameLayer(CurveSet& set, int layer, const QString& name)
{
    if (!validLayer(set, layer))
        return false;
    const QString clean = cleanLayerName(name);
    if (set.layers[layer].name == clean)
        return false;
    set.layers[layer].name = clean;
    return true;
}

bool moveLayer(CurveSet& set, int from, int to)
{
    set.fitLayersToCurves();
    if (!validLayer(set, from) || !validLayer(set, to) || from == to)
        return false;
    QVector<int> layerOrder;
    for (int l = 0; l < set.layers.size(); ++l)
        if (l != from)
            layerOrder.append(l);
    layerOrder.insert(to, from);

    QVector<int> curveOrder;
    QVector<Layer> layers;
    for (int l : layerOrder) {
        appendRun(curveOrder, set.layerRange(l));
        layers.append(set.layers[l]);
    }
    rearrangeCurves(set, curveOrder);
    set.layers = layers;
    set.current_layer = int(layerOrder.indexOf(set.currentLayer()));
    return true;
}

bool setLayerVisible(CurveSet& set, int layer, bool visible)
{
    if (!validLayer(set, layer) || set.layers[layer].visible == visible)
        return false;
    set.layers[layer].visible = visible;
    return true;
}

bool setLayerLocked(CurveSet& set, int layer, bool locked)
{
    if (!validLayer(set, layer) || set.layers[layer].locked == locked)
        return false;
    set.layers[layer].locked = locked;
    return true;
}

bool setLayerOpacity(CurveSet& set, int layer, double opacity)
{
    if (!validLayer(set, layer) || !std::isfinite(opacity))
        return false;
    opacity = std::clamp(opacity, 0.0, 1.0);
    if (set.layers[layer].opacity == opacity)
        return false;
    set.layers[layer].opacity = opacity;
    return true;
}

bool setCurrentLayer(CurveSet& set, int layer)
{
    if (!validLayer(set, layer) || set.current_layer == layer)
        return false;
    set.current_layer = layer;
    return true;
}

int moveSelectionToLayer(CurveSet& set, int layer)
{
    set.fitLayersToCurves();
    if (!validLayer(set, layer))
        return 0;
    const CurveRange target = set.layerRange(layer);
    QVector<bool> moving(set.curves.size(), false);
    for (int s : set.selection)
        if (s >= 0 && s < moving.size())
            moving[s] = true;
    if (set.hasCurrentCurve())
        moving[set.current_curve] = true;
    // Curves already in the target stay where they are.
    for (int i = target.first; i < target.end; ++i)
        moving[i] = false;
    const QVector<int> moved = [&] {
        QVector<int> indices;
        for (int i = 0; i < moving.size(); ++i)
            if (moving[i])
                indices.append(i);
        return indices;
    }();
    if (moved.isEmpty())
        return 0;

    // Layer by layer, the curves that stay; the moving ones, in drawing order, at the end of
    // the target.
    QVector<int> order;
    QVector<int> counts(set.layers.size(), 0);
    for (int l = 0; l < set.layers.size(); ++l) {
        const CurveRange run = set.layerRange(l);
        for (int i = run.first; i < run.end; ++i) {
            if (!moving[i]) {
                order.append(i);
                ++counts[l];
            }
        }
        if (l == layer) {
            order += moved;
            counts[l] += moved.size();
        }
    }
    rearrangeCurves(set, order);
    for (int l = 0; l < set.layers.size(); ++l)
        set.layers[l].curveCount = counts[l];
    return moved.size();
}
