#pragma once

class Interface;
class LayerCommands;
class LayersList;
class Viewer;

// Puts the layers list in a dock "Layers" beside the control panel's controls (the panel grows
// to hold it) and wires it: its requests go to `commands`, and it shows the viewer's drawing
// again whenever the commands report that its layers may have changed. Returns the list, which
// the panel owns.
LayersList& installLayersList(Interface& panel, Viewer& viewer, LayerCommands& commands);
