// Layers over the flat curve array: every operation keeps the runs, the curves, the selection
// and the current curve consistent, checked against a plain model of lists of curves per layer.
#include "clipboard.h"
#include "curve_set.h"
#include "curve_set_layers.h"
#include "curve_set_selection.h"
#include "test_curve_set_helpers.h"

#include <gtest/gtest.h>

#include <random>

using namespace doc_test;

namespace {

// A curve known by its tag, kept in `lifetime`, which no layer operation touches.
Curve tagged(int tag)
{
    Curve c = segment(-0.5, 0.01 * tag, 0.5, 0.01 * tag);
    c.lifetime = tag;
    return c;
}

// The tags of each layer's curves, bottom layer first, read through layerRange.
QVector<QVector<int>> tagsByLayer(const CurveSet& set)
{
    QVector<QVector<int>> tags;
    for (int l = 0; l < set.layerCount(); ++l) {
        tags.append(QVector<int>());
        const CurveRange run = set.layerRange(l);
        for (int i = run.first; i < run.end; ++i)
            tags.last().append(set.curve(i).lifetime);
    }
    return tags;
}

QVector<int> selectedTags(const CurveSet& set)
{
    QVector<int> tags;
    for (int i : set.selection)
        tags.append(set.curve(i).lifetime);
    return tags;
}

// The invariants every operation keeps.
void expectConsistent(const CurveSet& set)
{
    ASSERT_GE(set.layerCount(), 1);
    ASSERT_LE(set.layerCount(), kMaxLayers);
    EXPECT_EQ(set.nb_curves, set.curves.size());
    int counted = 0;
    for (int l = 0; l < set.layerCount(); ++l) {
        const CurveRange run = set.layerRange(l);
        EXPECT_EQ(run.first, counted) << "layer " << l;
        EXPECT_EQ(run.size(), set.layers[l].curveCount) << "layer " << l;
        for (int i = run.first; i < run.end; ++i)
            EXPECT_EQ(set.layerOfCurve(i), l) << "curve " << i;
        counted += set.layers[l].curveCount;
    }
    EXPECT_EQ(counted, set.nb_curves);
    EXPECT_GE(set.current_layer, 0);
    EXPECT_LT(set.current_layer, set.layerCount());
    for (int i = 0; i < set.nb_curves; ++i)
        EXPECT_EQ(set.curve(i).isSelected(), set.selection.contains(i)) << "curve " << i;
    EXPECT_TRUE(set.current_curve == -1 || set.hasCurrentCurve());
}

// Three layers named A, B, C holding the tags {1, 2}, {3}, {4, 5, 6}; B is current.
CurveSet threeLayers()
{
    CurveSet set;
    renameLayer(set, 0, "A");
    set.addCurve(tagged(1));
    set.addCurve(tagged(2));
    addLayer(set, "B");
    set.addCurve(tagged(3));
    addLayer(set, "C");
    for (int tag : {4, 5, 6})
        set.addCurve(tagged(tag));
    setCurrentLayer(set, 1);
    return set;
}

using Tags = QVector<QVector<int>>;

TEST(Layers, ANewDrawingHasOnePlainLayer)
{
    CurveSet set;
    ASSERT_EQ(set.layerCount(), 1);
    EXPECT_EQ(set.layers[0].name, "Layer 1");
    EXPECT_TRUE(isSingleDefaultLayer(set));
    set.addCurve(tagged(1));
    addLayer(set);
    set.clear();
    EXPECT_EQ(set.layerCount(), 1);
    EXPECT_TRUE(isSingleDefaultLayer(set));
    EXPECT_EQ(set.current_layer, 0);
}

TEST(Layers, NewCurvesGoToTheEndOfTheCurrentLayerAndIndicesFollow)
{
    CurveSet set = threeLayers();
    addToSelection(set, 4); // tag 5
    set.setCurrentCurve(3); // tag 4
    const int at = set.addCurve(tagged(7));
    EXPECT_EQ(at, 3);
    EXPECT_EQ(tagsByLayer(set), (Tags{{1, 2}, {3, 7}, {4, 5, 6}}));
    EXPECT_EQ(selectedTags(set), QVector<int>{5});
    EXPECT_EQ(set.curve(set.current_curve).lifetime, 4);

    // A stroke: newCurve starts the curve in the current layer and the clamp guard fills it.
    set.current_curve = -1;
    set.newCurve();
    for (int k = 0; k < 4; ++k)
        set.appendControlPoint(0.1 * k, 0.0);
    EXPECT_EQ(set.current_curve, 4);
    EXPECT_EQ(set.layerOfCurve(4), 1);
    // An unfinished curve ending the current layer is kept for the next stroke; the clamp
    // guard of an empty current layer does nothing.
    set.newCurve();
    set.newCurve();
    EXPECT_EQ(set.layers[1].curveCount, 4);
    addLayer(set, "D");
    set.current_curve = -1;
    set.appendControlPoint(0.0, 0.0);
    EXPECT_EQ(set.current_curve, -1);
    expectConsistent(set);
}

TEST(Layers, SplitAndPasteStayInTheirLayers)
{
    CurveSet set = threeLayers();
    set.setCurrentCurve(0);
    set.split(0.0, 0.01, 2, 0.5);
    EXPECT_EQ(set.layers[0].curveCount, 3) << "the second half joins the split curve's layer";

    set.setCurrentCurve(set.layerRange(2).first);
    set.curve(set.current_curve).setLeftColorOf(QColor(1, 2, 3, 40), 0);
    copySplines(set);
    setCurrentLayer(set, 1);
    pasteSplines(set, View{});
    EXPECT_EQ(set.layerOfCurve(set.current_curve), 1);
    EXPECT_EQ(set.curve(set.current_curve).left_colors[0], QColor(1, 2, 3, 40));
    cutSplines(set);
    EXPECT_EQ(set.layers[1].curveCount, 1);
    expectConsistent(set);
}

TEST(Layers, LayerSettingsChangeOnlyWhenTheyDiffer)
{
    CurveSet set = threeLayers();
    EXPECT_TRUE(setLayerVisible(set, 0, false));
    EXPECT_FALSE(setLayerVisible(set, 0, false));
    EXPECT_TRUE(setLayerLocked(set, 2, true));
    EXPECT_FALSE(setLayerOpacity(set, 1, 7.0)) << "clamped to 1, as it was";
    EXPECT_TRUE(setLayerOpacity(set, 1, 0.25));
    EXPECT_EQ(set.layers[1].opacity, 0.25);
    EXPECT_TRUE(setLayerOpacity(set, 1, -0.5));
    EXPECT_EQ(set.layers[1].opacity, 0.0);
    EXPECT_FALSE(setLayerOpacity(set, 1, std::nan("")));
    EXPECT_FALSE(setLayerVisible(set, 3, true));
    EXPECT_FALSE(setCurrentLayer(set, -1));

    EXPECT_TRUE(renameLayer(set, 0, QString("Sky\t\u0001\u200b") + QChar(0xd800) + "!"));
    EXPECT_EQ(set.layers[0].name, "Sky!");
    EXPECT_TRUE(renameLayer(set, 0, QString(kMaxLayerNameLength + 10, 'x')));
    EXPECT_EQ(set.layers[0].name.size(), kMaxLayerNameLength);
    EXPECT_FALSE(isSingleDefaultLayer(set));
}

TEST(Layers, AtLeastOneAndAtMostTheLimit)
{
    CurveSet set;
    set.addCurve(tagged(1));
    EXPECT_FALSE(deleteLayer(set, 0));
    EXPECT_EQ(set.nb_curves, 1);
    while (set.layerCount() < kMaxLayers)
        ASSERT_GE(addLayer(set), 0);
    EXPECT_EQ(addLayer(set), -1);
    EXPECT_EQ(set.layers.last().name, QString("Layer %1").arg(kMaxLayers));
    expectConsistent(set);
}

TEST(Layers, DirectChangesToTheArrayAreCountedInTheTopLayer)
{
    CurveSet set = threeLayers();
    set.curves.append(tagged(8));
    set.nb_curves = set.curves.size();
    EXPECT_EQ(set.layerRange(2).size(), 4);
    set.fitLayersToCurves();
    expectConsistent(set);
    set.curves.resize(1);
    set.nb_curves = 1;
    set.fitLayersToCurves();
    EXPECT_EQ(tagsByLayer(set), (Tags{{1}, {}, {}}));
}

// Random sequences of operations, each mirrored on plain lists of tags per layer.
TEST(Layers, RandomOperationsMatchAPlainModel)
{
    std::mt19937 random(33);
    for (int run = 0; run < 30; ++run) {
        CurveSet set = threeLayers();
        Tags model = tagsByLayer(set);
        int modelCurrent = 1;
        QVector<int> modelSelection;
        int nextTag = 10;
        for (int step = 0; step < 60; ++step) {
            const int layers = model.size();
            const int layer = int(random() % (layers + 1)) - (random() % 8 == 0 ? 1 : 0);
            const int op = int(random() % 8);
            auto removeTag = [&](int tag) {
                for (QVector<int>& tags : model)
                    tags.removeAll(tag);
                modelSelection.removeAll(tag);
            };
            if (op == 0) {
                set.addCurve(tagged(nextTag));
                model[modelCurrent].append(nextTag++);
            } else if (op == 1 && set.nb_curves > 0) {
                const int i = int(random() % set.nb_curves);
                removeTag(set.curve(i).lifetime);
                set.removeCurve(i);
            } else if (op == 2) {
                const int at = addLayer(set);
                if (layers < kMaxLayers) {
                    model.insert(modelCurrent + 1, {});
                    modelCurrent = modelCurrent + 1;
                    EXPECT_EQ(at, modelCurrent);
                }
            } else if (op == 3) {
                const bool done = deleteLayer(set, layer);
                EXPECT_EQ(done, layer >= 0 && layer < layers && layers > 1);
                if (done) {
                    for (int tag : model[layer])
                        modelSelection.removeAll(tag);
                    model.remove(layer);
                    if (modelCurrent > layer || (modelCurrent == layer && layer > 0))
                        --modelCurrent;
                }
            } else if (op == 4 && layer >= 0 && layer < layers) {
                const int from = int(random() % layers);
                if (moveLayer(set, from, layer)) {
                    // Layer positions before the move, in their new order.
                    QVector<int> order;
                    for (int l = 0; l < layers; ++l)
                        if (l != from)
                            order.append(l);
                    order.insert(layer, from);
                    const QVector<int> moved = model[from];
                    model.remove(from);
                    model.insert(layer, moved);
                    modelCurrent = order.indexOf(modelCurrent);
                }
            } else if (op == 5 && set.nb_curves > 0) {
                const int i = int(random() % set.nb_curves);
                toggleSelection(set, i);
                const int tag = set.curve(i).lifetime;
                if (!modelSelection.removeAll(tag))
                    modelSelection.append(tag);
            } else if (op == 6 && layer >= 0 && layer < layers) {
                set.current_curve = -1;
                moveSelectionToLayer(set, layer);
                // Selected curves of other layers leave them and join the target's end in
                // drawing order.
                QVector<int> moving;
                for (int l = 0; l < model.size(); ++l)
                    for (int tag : model[l])
                        if (l != layer && modelSelection.contains(tag))
                            moving.append(tag);
                for (QVector<int>& tags : model)
                    for (int tag : moving)
                        tags.removeAll(tag);
                model[layer] += moving;
            } else if (op == 7) {
                setCurrentLayer(set, layer);
                if (layer >= 0 && layer < layers)
                    modelCurrent = layer;
                if (random() % 4 == 0) {
                    deleteSelected(set);
                    for (int tag : QVector<int>(modelSelection))
                        removeTag(tag);
                }
            }
            ASSERT_EQ(tagsByLayer(set), model) << "run " << run << " step " << step;
            ASSERT_EQ(set.current_layer, modelCurrent) << "run " << run << " step " << step;
            QVector<int> selected = selectedTags(set);
            QVector<int> expected = modelSelection;
            std::sort(selected.begin(), selected.end());
            std::sort(expected.begin(), expected.end());
            ASSERT_EQ(selected, expected) << "run " << run << " step " << step;
            expectConsistent(set);
        }
    }
}

} // namespace
