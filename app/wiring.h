#pragma once

struct EditorCommands;
class Interface;
class Viewer;

// Makes the 40 connections between the control panel, the viewer and the commands on its drawing,
// in this order: the panel's colour, blur, iteration and lifetime signals to the viewer (1-6);
// the viewer's colour and blur signals back to the panel (7-10); the File and Edit actions to
// the export, bitmap, file-menu and edit commands (11-20); the colour-point request and answer
// (21-24); the display toggles and the mouse mode (25-31); the one-shot tool buttons (32-40).
// All are direct connections (function pointers, one lambda); the objects must outlive them
// (they are broken when either end is destroyed). connectDocumentCommands follows.
void connectWindows(Interface& panel, Viewer& viewer, EditorCommands& commands);

// The document's commands, made by connectWindows after the 40: File > New, Open, Save, Save As,
// Open Recent, Trace Bitmap... (an entry added to the form's File menu) and Quit; Edit > Undo
// and Redo, whose texts follow the viewer's history, and Delete. Fills Open Recent with the remembered files.
void connectDocumentCommands(Interface& panel, Viewer& viewer, EditorCommands& commands);
