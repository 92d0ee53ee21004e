#pragma once

#include "blur_edit_commands.h"
#include "edit_commands.h"
#include "example_bitmap_commands.h"
#include "export_commands.h"
#include "file_menu_commands.h"
#include "help_command.h"
#include "layer_commands.h"

class Viewer;

// The commands that work on one viewer's drawing, one concern each, as the entry point wires
// them to the panel (connectWindows) and to the viewer's keys. Must be destroyed before the
// viewer.
struct EditorCommands {
    explicit EditorCommands(Viewer& viewer)
        : blurEdits(viewer), edits(viewer), exports(viewer), bitmap(viewer), files(viewer, bitmap),
          help(viewer), layers(viewer)
    {
    }

    // First: while a blur edit is open, Return and Escape are its keys.
    BlurEditCommands blurEdits;
    EditCommands edits;
    ExportCommands exports;
    ExampleBitmapCommands bitmap;
    FileMenuCommands files;
    HelpCommand help;
    LayerCommands layers;
};
