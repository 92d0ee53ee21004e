// The layers list alone: rows top layer first, every request naming the layer by its index in
// the drawing, nothing asked while it only shows the drawing, and buttons that cannot act greyed.
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "layers_list.h"

namespace {

QVector<LayerRow> threeLayers()
{
    return {LayerRow{"Back", true, false, 100, 4}, LayerRow{"Middle", false, true, 40, 1},
            LayerRow{"Top", true, false, 75, 0}};
}

} // namespace

TEST(LayersList, ShowsTheTopLayerFirstAndAsksNothingWhileShowing)
{
    LayersList list;
    QSignalSpy anyRequest(&list, &LayersList::currentChanged);
    QSignalSpy visible(&list, &LayersList::visibleChanged);
    QSignalSpy opacity(&list, &LayersList::opacityChanged);
    list.setLayers(threeLayers(), 1);
    QTreeWidget* tree = list.tree();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(LayersList::ColumnName), "Top");
    EXPECT_EQ(tree->topLevelItem(2)->text(LayersList::ColumnName), "Back");
    EXPECT_EQ(tree->topLevelItem(1)->checkState(LayersList::ColumnShown), Qt::Unchecked);
    EXPECT_EQ(tree->topLevelItem(1)->checkState(LayersList::ColumnLocked), Qt::Checked);
    EXPECT_EQ(tree->topLevelItem(1)->text(LayersList::ColumnOpacity), "40 %");
    EXPECT_TRUE(tree->topLevelItem(1)->isSelected()) << "the current layer is highlighted";
    EXPECT_EQ(list.opacityBox()->value(), 40);
    EXPECT_EQ(anyRequest.count() + visible.count() + opacity.count(), 0);

    // Fewer layers: the rows follow, and a lone layer cannot be deleted.
    list.setLayers({LayerRow{"Only"}}, 0);
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_FALSE(list.deleteButton()->isEnabled());
    EXPECT_FALSE(list.upButton()->isEnabled());
    EXPECT_FALSE(list.downButton()->isEnabled());
    EXPECT_EQ(anyRequest.count() + visible.count() + opacity.count(), 0);
}

TEST(LayersList, RequestsNameLayersByTheirIndexInTheDrawing)
{
    LayersList list;
    list.setLayers(threeLayers(), 1);
    QSignalSpy moved(&list, &LayersList::moveRequested);
    QSignalSpy deleted(&list, &LayersList::deleteRequested);
    QSignalSpy visible(&list, &LayersList::visibleChanged);
    QSignalSpy current(&list, &LayersList::currentChanged);
    QSignalSpy opacity(&list, &LayersList::opacityChanged);

    QTest::mouseClick(list.upButton(), Qt::LeftButton);
    QTest::mouseClick(list.downButton(), Qt::LeftButton);
    QTest::mouseClick(list.deleteButton(), Qt::LeftButton);
    ASSERT_EQ(moved.count(), 2);
    EXPECT_EQ(moved[0], (QList<QVariant>{1, 2})) << "up: towards the top of the drawing";
    EXPECT_EQ(moved[1], (QList<QVariant>{1, 0}));
    ASSERT_EQ(deleted.count(), 1);
    EXPECT_EQ(deleted[0][0], 1);

    list.tree()->topLevelItem(2)->setCheckState(LayersList::ColumnShown, Qt::Unchecked);
    ASSERT_EQ(visible.count(), 1);
    EXPECT_EQ(visible[0], (QList<QVariant>{0, false})) << "the bottom row is layer 0";
    list.tree()->setCurrentItem(list.tree()->topLevelItem(0));
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current[0][0], 2);
    list.opacityBox()->setValue(55);
    ASSERT_EQ(opacity.count(), 1);
    EXPECT_EQ(opacity[0], (QList<QVariant>{1, 55})) << "the current layer as last shown";

    list.setLayers(threeLayers(), 2); // the top layer, as the editor shows it after the change
    EXPECT_FALSE(list.upButton()->isEnabled());
    EXPECT_TRUE(list.downButton()->isEnabled());
}
