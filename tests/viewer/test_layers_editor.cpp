// Layers in the editor, through the real layers list and viewer: each layer operation is one
// undo step that gives back the drawing byte for byte, new strokes go into the current layer,
// the mouse edits that layer only (others are faded and not picked), a locked layer refuses
// edits, and selected curves move to another layer.
#include "test_editor_support.h"

#include "curve_set_layers.h"
#include "curve_set_xml.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QStyleOptionViewItem>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>

class LayersEditor : public ScriptedEditorTest {
protected:
    LayersList& list() { return editor->layers; }
    QTreeWidget& tree() { return *list().tree(); }
    DrawingHistory& history() { return viewer().document().history(); }
    QByteArray savedXml() { return writeCurveSetXml(doc()); }

    // The list's row of `layer`, and a point on its name.
    QTreeWidgetItem* rowOf(int layer) { return tree().topLevelItem(list().rowOfLayer(layer)); }
    QPoint nameOf(int layer)
    {
        const QHeaderView* header = tree().header();
        const int x = header->sectionViewportPosition(LayersList::ColumnName)
                      + header->sectionSize(LayersList::ColumnName) / 2;
        return QPoint(x, tree().visualItemRect(rowOf(layer)).center().y());
    }
    // A click on the Show or Lock box of `layer`'s row.
    void clickBox(int layer, LayersList::Column column)
    {
        QStyleOptionViewItem option;
        option.initFrom(tree().viewport());
        option.rect = tree().visualItemRect(rowOf(layer));
        option.rect.setLeft(tree().header()->sectionViewportPosition(column));
        option.rect.setWidth(tree().header()->sectionSize(column));
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            tree().style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &tree());
        QTest::mouseClick(tree().viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
    }
    void chooseLayer(int layer)
    {
        QTest::mouseClick(tree().viewport(), Qt::LeftButton, Qt::NoModifier, nameOf(layer));
    }
    // A double-click as the window system delivers it: press, release, double-click, release.
    void doubleClick(QWidget* widget, const QPoint& at)
    {
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
        QMouseEvent second(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                           Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &second);
        QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
    }
    void clickButton(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // The names the list shows, top row first.
    QStringList shownNames()
    {
        QStringList names;
        for (int row = 0; row < tree().topLevelItemCount(); ++row)
            names << tree().topLevelItem(row)->text(LayersList::ColumnName);
        return names;
    }
    // A horizontal line at height y in the current layer, added without the mouse.
    int addLine(double y)
    {
        int index = -1;
        viewer().document().recordEdit("Add Line", [&] {
            index = doc().addCurve(makeLine(Point(-0.5, y), Point(0.5, y)));
        });
        return index;
    }
};

TEST_F(LayersEditor, AddDrawHideRenameReorderAndUndoEachStep)
{
    ASSERT_EQ(shownNames(), QStringList{"Layer 1"});
    drawStroke(-0.4);
    ASSERT_EQ(doc().nb_curves, 1);
    QVector<QByteArray> states{savedXml()};

    clickButton(list().addButton());
    EXPECT_EQ(history().undoText(), "New Layer");
    EXPECT_EQ(shownNames(), (QStringList{"Layer 2", "Layer 1"})) << "the top layer first";
    EXPECT_TRUE(rowOf(1)->isSelected()) << "the new layer is current";
    states << savedXml();

    drawStroke(0.4);
    ASSERT_EQ(doc().nb_curves, 2);
    EXPECT_EQ(doc().layerRange(1).size(), 1) << "the stroke went into the current layer";
    EXPECT_EQ(doc().layerRange(0).size(), 1);
    states << savedXml();

    clickBox(1, LayersList::ColumnShown);
    EXPECT_FALSE(doc().layers[1].visible);
    EXPECT_EQ(history().undoText(), "Hide Layer");
    states << savedXml();

    doubleClick(tree().viewport(), nameOf(1));
    auto* nameEdit = tree().viewport()->findChild<QLineEdit*>();
    ASSERT_NE(nameEdit, nullptr) << "a double-click on the name edits it";
    nameEdit->selectAll();
    QTest::keyClicks(nameEdit, "Highlights");
    QTest::keyClick(nameEdit, Qt::Key_Return);
    QApplication::processEvents(); // the list takes the name in a queued call
    EXPECT_EQ(doc().layers[1].name, "Highlights");
    EXPECT_EQ(history().undoText(), "Rename Layer");
    states << savedXml();

    const Curve top = doc().curve(1);
    clickButton(list().downButton());
    EXPECT_EQ(history().undoText(), "Move Layer");
    EXPECT_EQ(shownNames(), (QStringList{"Layer 1", "Highlights"}));
    EXPECT_TRUE(sameDrawnCurve(doc().curve(0), top)) << "the layer's curves moved with it";
    EXPECT_EQ(doc().currentLayer(), 0) << "the moved layer stays current";
    states << savedXml();

    list().opacityBox()->setFocus();
    QTest::keyClick(list().opacityBox(), Qt::Key_PageDown);
    QTest::keyClick(list().opacityBox(), Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(doc().layers[0].opacity, 0.8);
    EXPECT_EQ(history().undoText(), "Layer Opacity");
    states << savedXml();

    // Each undo gives back the drawing before its step, and the list shows it.
    for (int step = states.size() - 1; step > 0; --step) {
        undo();
        EXPECT_EQ(savedXml(), states[step - 1]) << "undo of step " << step;
        EXPECT_EQ(tree().topLevelItemCount(), doc().layerCount());
    }
    EXPECT_EQ(shownNames(), QStringList{"Layer 1"});
    EXPECT_EQ(list().opacityBox()->value(), 100);
    for (int step = 1; step < states.size(); ++step) {
        redo();
        EXPECT_EQ(savedXml(), states[step]) << "redo of step " << step;
    }
    EXPECT_EQ(shownNames(), (QStringList{"Layer 1", "Highlights"}));
    EXPECT_EQ(rowOf(0)->checkState(LayersList::ColumnShown), Qt::Unchecked);
}

TEST_F(LayersEditor, CurvesOfOtherLayersAreFadedAndNotPicked)
{
    const int low = addLine(0.0);
    const QPoint onLine = pixel(Point(0.0, 0.0)); // between the tangent handles
    panel().checkBoxShowSplines->setChecked(false);
    const QImage bare = frame();
    panel().checkBoxShowSplines->setChecked(true);
    // How much darker the line makes the picture, over the few rows it covers.
    const auto darkness = [&](const QImage& shown) {
        int sum = 0;
        for (int dy = -3; dy <= 3; ++dy)
            sum += qGray(bare.pixel(onLine + QPoint(0, dy)))
                   - qGray(shown.pixel(onLine + QPoint(0, dy)));
        return double(sum);
    };
    const double full = darkness(frame());
    ASSERT_GT(full, 100.0);
    clickButton(list().addButton());
    // Faded: the line drawn at 0.3 of its strength over the same picture.
    EXPECT_NEAR(darkness(frame()) / full, 0.3, 0.08);

    QTest::mouseClick(panel().buttonMovePoint, Qt::LeftButton);
    QTest::mouseClick(&viewer(), Qt::LeftButton, Qt::NoModifier, onLine);
    EXPECT_EQ(doc().current_curve, -1) << "a curve of another layer is not picked";
    panel().actionSelect_All->trigger();
    EXPECT_TRUE(doc().selection.isEmpty()) << "Select All takes the current layer's curves";

    chooseLayer(0);
    EXPECT_EQ(doc().currentLayer(), 0);
    QTest::mouseClick(&viewer(), Qt::LeftButton, Qt::NoModifier, onLine);
    EXPECT_EQ(doc().current_curve, low) << "its own layer's curve is picked";
    EXPECT_GE(darkness(frame()), full) << "and drawn in full";
    EXPECT_EQ(history().count(), 2) << "choosing a layer is no step";

    chooseLayer(1);
    EXPECT_EQ(doc().current_curve, -1) << "the current curve stays in its layer";
}

TEST_F(LayersEditor, ALockedOrHiddenLayerRefusesEditsAndSelectedCurvesMoveToAnotherLayer)
{
    const int line = addLine(0.3);
    clickButton(list().addButton());
    clickBox(0, LayersList::ColumnLocked);
    EXPECT_TRUE(doc().layers[0].locked);
    EXPECT_EQ(doc().currentLayer(), 1) << "ticking a box does not choose its layer";
    clickBox(0, LayersList::ColumnLocked);
    EXPECT_FALSE(doc().layers[0].locked);
    clickBox(1, LayersList::ColumnLocked);
    EXPECT_EQ(history().undoText(), "Lock Layer");
    const QByteArray locked = savedXml();
    drawStroke(-0.4);
    EXPECT_EQ(savedXml(), locked) << "no stroke in a locked layer";
    EXPECT_EQ(panel().statusLines().outcomeText(),
              "Layer 2 is locked: untick its Lock box in the Layers list to edit it");
    clickBox(1, LayersList::ColumnLocked);
    clickBox(1, LayersList::ColumnShown);
    ASSERT_FALSE(doc().layers[1].visible);
    const QByteArray hidden = savedXml();
    drawStroke(-0.4);
    EXPECT_EQ(savedXml(), hidden) << "no stroke in a hidden layer";
    EXPECT_EQ(panel().statusLines().outcomeText(),
              "Layer 2 is hidden: tick its Show box in the Layers list to edit it");
    clickBox(1, LayersList::ColumnShown);

    // The line, selected in its own layer, moves to Layer 2 from the list's context menu.
    chooseLayer(0);
    QTest::mouseClick(panel().buttonSelectMulti, Qt::LeftButton);
    panel().actionSelect_All->trigger();
    ASSERT_EQ(doc().selection, QVector<int>{line});
    QTimer::singleShot(0, [&] {
        list().moveSelectionAction()->trigger();
        if (QWidget* menu = QApplication::activePopupWidget())
            menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, nameOf(1),
                                tree().viewport()->mapToGlobal(nameOf(1)));
    QApplication::sendEvent(tree().viewport(), &menuEvent);
    EXPECT_EQ(history().undoText(), "Move to Layer");
    EXPECT_EQ(doc().layerRange(0).size(), 0);
    EXPECT_EQ(doc().layerRange(1).size(), 1);
    EXPECT_EQ(doc().currentLayer(), 1) << "the moved curves' layer becomes current";
    EXPECT_EQ(doc().selection.size(), 1) << "and they stay selected";
    EXPECT_EQ(panel().statusLines().outcomeText(), "Moved 1 spline to Layer 2");
    undo();
    EXPECT_EQ(doc().layerRange(0).size(), 1);
    EXPECT_TRUE(doc().selection.isEmpty()) << "curves back in a layer not edited are dropped";
}

TEST_F(LayersEditor, AnOpenedLayeredDrawingShowsItsLayersInTheList)
{
    ASSERT_TRUE(
        viewer().document().openDrawing(QString(TINTWEAVE_TEST_DATA_DIR) + "/three_layers.xml"));
    EXPECT_EQ(shownNames(), (QStringList{"Glow", "Sun", "Sky and hills"}));
    EXPECT_TRUE(rowOf(2)->isSelected()) << "the top layer is current after opening";
    EXPECT_EQ(rowOf(2)->text(LayersList::ColumnOpacity), "60 %");
    EXPECT_EQ(list().opacityBox()->value(), 60);
    EXPECT_EQ(rowOf(0)->toolTip(LayersList::ColumnName), "Sky and hills: 2 splines");
    chooseLayer(1);
    EXPECT_EQ(doc().currentLayer(), 1);
    EXPECT_EQ(list().opacityBox()->value(), 100);
}
