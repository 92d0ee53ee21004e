#include "layers_list.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton* smallButton(const QString& text, const QString& tip, const QString& statusTip,
                         const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setStatusTip(statusTip);
    button->setAutoDefault(false);
    return button;
}

Qt::CheckState checkState(bool on) { return on ? Qt::Checked : Qt::Unchecked; }

} // namespace

LayersList::LayersList(QWidget* parent) : QWidget(parent)
{
    setObjectName("layersList");
    makeWidgets();
    makeConnections();
    setLayers({LayerRow{"Layer 1"}}, 0);
}

void LayersList::makeWidgets()
{
    rows = new QTreeWidget(this);
    rows->setObjectName("treeLayers");
    rows->setColumnCount(4);
    rows->setHeaderLabels({"Show", "Lock", "Name", "Opacity"});
    rows->setRootIsDecorated(false);
    rows->setUniformRowHeights(true);
    rows->setSelectionMode(QAbstractItemView::SingleSelection);
    rows->setEditTriggers(QAbstractItemView::NoEditTriggers); // double-click on a name renames
    rows->setContextMenuPolicy(Qt::CustomContextMenu);
    rows->viewport()->installEventFilter(this);
    rows->header()->setStretchLastSection(false);
    rows->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    rows->header()->setSectionResizeMode(ColumnName, QHeaderView::Stretch);
    rows->setToolTip("Layers, top first: double-click a name to rename it");
    rows->setStatusTip("The current layer takes new splines and is the one the mouse edits; "
                       "right-click for more");

    add = smallButton("+", "New layer", "Add an empty layer above the current one",
                      "buttonAddLayer", this);
    remove = smallButton("-", "Delete layer", "Delete the current layer with its splines",
                         "buttonDeleteLayer", this);
    up = smallButton("Up", "Move layer up", "Move the current layer one step up (to the front)",
                     "buttonLayerUp", this);
    down =
        smallButton("Down", "Move layer down", "Move the current layer one step down (to the back)",
                    "buttonLayerDown", this);
    opacity = new QSpinBox(this);
    opacity->setObjectName("spinLayerOpacity");
    opacity->setRange(0, 100);
    opacity->setSuffix(" %");
    opacity->setToolTip("Opacity of the current layer, 0 (transparent) to 100 %");
    opacity->setStatusTip("How much of the current layer shows over the layers below it");

    moveSelection = new QAction("Move Selected Splines Here", this);
    moveSelection->setObjectName("actionMoveSelectionToLayer");
    moveSelection->setStatusTip("Move the selected splines into this layer");

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {add, remove, up, down})
        buttons->addWidget(button);
    auto* opacityRow = new QHBoxLayout;
    auto* opacityLabel = new QLabel("Opacity:", this);
    opacityLabel->setBuddy(opacity);
    opacityRow->addWidget(opacityLabel);
    opacityRow->addWidget(opacity, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(rows, 1);
    layout->addLayout(opacityRow);
    layout->addLayout(buttons);
}

void LayersList::makeConnections()
{
    connect(rows, &QTreeWidget::itemChanged, this, &LayersList::itemChanged);
    connect(rows, &QTreeWidget::itemSelectionChanged, this, &LayersList::rowChosen);
    connect(rows, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int column) {
        if (column == ColumnName || column == ColumnOpacity)
            rows->editItem(item, ColumnName);
    });
    connect(rows, &QWidget::customContextMenuRequested, this, &LayersList::showContextMenu);
    connect(add, &QPushButton::clicked, this, &LayersList::addRequested);
    connect(remove, &QPushButton::clicked, this, [this] { emit deleteRequested(current); });
    connect(up, &QPushButton::clicked, this, [this] { emit moveRequested(current, current + 1); });
    connect(down, &QPushButton::clicked, this,
            [this] { emit moveRequested(current, current - 1); });
    connect(moveSelection, &QAction::triggered, this,
            [this] { emit moveSelectionRequested(menuLayer >= 0 ? menuLayer : current); });
    connect(opacity, QOverload<int>::of(&QSpinBox::valueChanged), this, [this](int percent) {
        if (!updating)
            emit opacityChanged(current, percent);
    });
}

int LayersList::rowOfLayer(int layer) const
{
    return layer >= 0 && layer < shown.size() ? shown.size() - 1 - layer : -1;
}

int LayersList::layerOf(QTreeWidgetItem* item) const
{
    return item != nullptr ? layerOfRow(rows->indexOfTopLevelItem(item)) : -1;
}

void LayersList::setLayers(const QVector<LayerRow>& layers, int currentLayer)
{
    updating = true;
    shown = layers;
    current = std::clamp(currentLayer, 0, std::max(0, int(layers.size()) - 1));
    // The rows are renewed in place: this may run while a row reports its own change (a Show
    // box ticked, a name typed), and that row must outlive it.
    while (rows->topLevelItemCount() > layers.size())
        delete rows->takeTopLevelItem(rows->topLevelItemCount() - 1);
    while (rows->topLevelItemCount() < layers.size()) {
        auto* item = new QTreeWidgetItem(rows);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                       | Qt::ItemIsUserCheckable);
        item->setTextAlignment(ColumnOpacity, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int row = 0; row < layers.size(); ++row) {
        const LayerRow& layer = layers[layerOfRow(row)];
        QTreeWidgetItem* item = rows->topLevelItem(row);
        item->setCheckState(ColumnShown, checkState(layer.visible));
        item->setCheckState(ColumnLocked, checkState(layer.locked));
        item->setText(ColumnName, layer.name);
        item->setToolTip(ColumnName, QString("%1: %2 spline%3")
                                         .arg(layer.name)
                                         .arg(layer.curveCount)
                                         .arg(layer.curveCount == 1 ? "" : "s"));
        item->setText(ColumnOpacity, QString("%1 %").arg(layer.opacityPercent));
        // The current layer is the highlighted row.
        item->setSelected(row == rowOfLayer(current));
    }
    if (QTreeWidgetItem* item = rows->topLevelItem(rowOfLayer(current)))
        rows->setCurrentItem(item, ColumnName);
    opacity->setValue(layers.isEmpty() ? 100 : layers[current].opacityPercent);
    renewButtons();
    updating = false;
}

void LayersList::renewButtons()
{
    remove->setEnabled(shown.size() > 1);
    up->setEnabled(current + 1 < shown.size());
    down->setEnabled(current > 0);
}

void LayersList::itemChanged(QTreeWidgetItem* item, int column)
{
    const int layer = layerOf(item);
    if (updating || layer < 0)
        return;
    const LayerRow& was = shown[layer];
    switch (column) {
    case ColumnShown:
        if ((item->checkState(column) == Qt::Checked) != was.visible)
            emit visibleChanged(layer, !was.visible);
        break;
    case ColumnLocked:
        if ((item->checkState(column) == Qt::Checked) != was.locked)
            emit lockedChanged(layer, !was.locked);
        break;
    case ColumnName:
        if (item->text(column) != was.name)
            emit renameRequested(layer, item->text(column));
        break;
    default: break;
    }
}

bool LayersList::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched != rows->viewport()
        || (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick
            && type != QEvent::MouseButtonRelease))
        return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    QTreeWidgetItem* item = rows->itemAt(mouse->pos());
    const int column = rows->columnAt(mouse->pos().x());
    const bool onBox = item != nullptr && mouse->button() == Qt::LeftButton
                       && (column == ColumnShown || column == ColumnLocked);
    if (type != QEvent::MouseButtonRelease) {
        // The view would make the row current on the press: the box takes it instead.
        pressedBox = {onBox ? item : nullptr, onBox ? column : -1};
        return onBox;
    }
    const bool click = onBox && pressedBox == std::make_pair(item, column);
    pressedBox = {nullptr, -1};
    if (click)
        item->setCheckState(column,
                            item->checkState(column) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    return click;
}

void LayersList::rowChosen()
{
    if (updating)
        return;
    const QList<QTreeWidgetItem*> chosen = rows->selectedItems();
    const int layer = chosen.isEmpty() ? -1 : layerOf(chosen.first());
    if (layer >= 0 && layer != current)
        emit currentChanged(layer);
}

void LayersList::showContextMenu(const QPoint& at)
{
    const int layer = layerOf(rows->itemAt(at));
    if (layer < 0)
        return;
    QMenu menu(this);
    QAction* rename = menu.addAction("Rename");
    rename->setStatusTip("Give this layer another name");
    menu.addAction(moveSelection);
    menu.addSeparator();
    QAction* erase = menu.addAction("Delete Layer");
    erase->setStatusTip("Delete this layer with its splines");
    erase->setEnabled(shown.size() > 1);
    menuLayer = layer; // the layer moveSelection moves into while the menu is open
    QAction* chosen = menu.exec(rows->viewport()->mapToGlobal(at));
    menuLayer = -1;
    if (chosen == rename)
        rows->editItem(rows->topLevelItem(rowOfLayer(layer)), ColumnName);
    else if (chosen == erase)
        emit deleteRequested(layer);
}
