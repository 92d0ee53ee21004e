#pragma once

#include <QString>
#include <QVector>
#include <QWidget>

#include <utility>

class QAction;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

// One layer as the list shows it.
struct LayerRow {
    QString name;
    bool visible = true;
    bool locked = false;
    int opacityPercent = 100; // 0 .. 100
    int curveCount = 0;
};

// The layers of a drawing, top layer first as image editors list them, with the current one
// highlighted: a Show and a Lock box per row, the name (double-click to rename), the opacity,
// buttons to add, delete and move the current layer, the current layer's opacity (0 to 100 %),
// and a context menu that also moves the selected splines into the layer under the pointer.
//
// The list only shows layers and asks for changes: every signal names a layer by its index in
// the drawing (0 the bottom layer), and the list changes only when setLayers shows the drawing
// as the change left it. Depends on Qt Widgets only.
class LayersList : public QWidget {
    Q_OBJECT

public:
    explicit LayersList(QWidget* parent = nullptr);

    // Shows `layers` (bottom first) with `current` highlighted; emits nothing.
    void setLayers(const QVector<LayerRow>& layers, int current);
    int layerCount() const { return shown.size(); }
    int currentLayer() const { return current; }

    // The row of layer `layer` (rows run top layer first); -1 when out of range.
    int rowOfLayer(int layer) const;
    int layerOfRow(int row) const { return rowOfLayer(row); }

    // The widgets, for the editor's wiring and its tests.
    QTreeWidget* tree() const { return rows; }
    QPushButton* addButton() const { return add; }
    QPushButton* deleteButton() const { return remove; }
    QPushButton* upButton() const { return up; }
    QPushButton* downButton() const { return down; }
    QSpinBox* opacityBox() const { return opacity; }
    // The context menu's entry that moves the selected splines into the layer the menu was opened
    // on (the current layer when triggered outside the menu).
    QAction* moveSelectionAction() const { return moveSelection; }

    // Columns of the tree.
    enum Column { ColumnShown = 0, ColumnLocked = 1, ColumnName = 2, ColumnOpacity = 3 };

Q_SIGNALS:
    void addRequested();
    void deleteRequested(int layer);
    void renameRequested(int layer, const QString& name);
    // Layer `from` to end at index `to`.
    void moveRequested(int from, int to);
    void visibleChanged(int layer, bool visible);
    void lockedChanged(int layer, bool locked);
    void opacityChanged(int layer, int percent);
    void currentChanged(int layer);
    void moveSelectionRequested(int layer);

protected:
    // A click on a row's Show or Lock cell toggles its box (on release, as a check box does)
    // without making that row's layer the current one.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeWidgets();
    void makeConnections();
    void itemChanged(QTreeWidgetItem* item, int column);
    void rowChosen();
    void showContextMenu(const QPoint& at);
    void renewButtons();
    // The layer of `item`; -1 for none.
    int layerOf(QTreeWidgetItem* item) const;

    QTreeWidget* rows = nullptr;
    QPushButton* add = nullptr;
    QPushButton* remove = nullptr;
    QPushButton* up = nullptr;
    QPushButton* down = nullptr;
    QSpinBox* opacity = nullptr;
    QAction* moveSelection = nullptr;
    QVector<LayerRow> shown;
    int current = 0;
    std::pair<QTreeWidgetItem*, int> pressedBox{nullptr, -1}; // the cell of a press on a box
    int menuLayer = -1;                                       // the layer of the open context menu
    bool updating = false; // setLayers is filling the widgets: their signals ask for nothing
};
