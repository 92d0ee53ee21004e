#include "layers_dock.h"

#include "curve_set.h"
#include "interface.h"
#include "layer_commands.h"
#include "layers_list.h"
#include "viewer.h"

#include <QDockWidget>

#include <cmath>

namespace {

// The drawing's layers as the list shows them.
QVector<LayerRow> rowsOf(const CurveSet& curves)
{
    QVector<LayerRow> rows;
    for (int l = 0; l < curves.layers.size(); ++l) {
        const Layer& layer = curves.layers[l];
        rows.append({layer.name, layer.visible, layer.locked,
                     int(std::lround(layer.opacity * 100.0)), curves.layerRange(l).size()});
    }
    return rows;
}

} // namespace

LayersList& installLayersList(Interface& panel, Viewer& viewer, LayerCommands& commands)
{
    auto* dock = new QDockWidget("Layers", &panel);
    dock->setObjectName("dockLayers");
    // Without a View menu to bring it back, the dock cannot be closed; it may float.
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* list = new LayersList(dock);
    list->setMinimumWidth(250);
    dock->setWidget(list);
    panel.addDockWidget(Qt::RightDockWidgetArea, dock);
    panel.resize(panel.size().expandedTo(panel.minimumSizeHint()));

    QObject::connect(list, &LayersList::addRequested, &commands, &LayerCommands::addLayer);
    QObject::connect(list, &LayersList::deleteRequested, &commands, &LayerCommands::deleteLayer);
    QObject::connect(list, &LayersList::renameRequested, &commands, &LayerCommands::renameLayer);
    QObject::connect(list, &LayersList::moveRequested, &commands, &LayerCommands::moveLayer);
    QObject::connect(list, &LayersList::visibleChanged, &commands, &LayerCommands::setLayerVisible);
    QObject::connect(list, &LayersList::lockedChanged, &commands, &LayerCommands::setLayerLocked);
    QObject::connect(list, &LayersList::opacityChanged, &commands, &LayerCommands::setLayerOpacity);
    QObject::connect(list, &LayersList::currentChanged, &commands, &LayerCommands::setCurrentLayer);
    QObject::connect(list, &LayersList::moveSelectionRequested, &commands,
                     &LayerCommands::moveSelectionToLayer);
    const auto show = [list, &viewer] {
        const CurveSet& curves = viewer.curves();
        list->setLayers(rowsOf(curves), curves.currentLayer());
    };
    QObject::connect(&commands, &LayerCommands::layersChanged, list, show);
    show();
    return *list;
}
