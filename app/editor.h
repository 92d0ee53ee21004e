#pragma once

#include "editor_commands.h"
#include "interface.h"
#include "layers_list.h"
#include "viewer.h"

#include <QObject>
#include <QStringList>

// Installs the default GL surface format of every GL widget: depth 24 and a stencil buffer of
// 8 bits (the renderer counts overlapping curve strips in the stencil), and makes GL widgets
// share their GL objects. Must run before the QApplication is constructed.
void installSurfaceFormat();

// Names the application for its settings (the recent files and the last folder live there).
void installApplicationNames();

// The editor's two top-level windows over one document: the viewer, constructed first, and the control panel,
// wired together by connectWindows. The viewer titles itself after its drawing ("Hueflow" for a
// new one), the panel keeps its form's title "MainWindow". They are destroyed in reverse order
// (panel, then viewer). Needs a QApplication and the surface format installed.
//
// The windows open where the user left them, or side by side at first start (window_placement.h);
// their places are remembered when the editor closes.
//
// Closing either window closes the editor: the viewer first asks about unsaved changes, and a
// cancelled question keeps both windows open.
class Editor : public QObject {
public:
    Editor();

    // Shows the control panel, then the viewer (whose GL initialisation runs when it is first
    // shown).
    void show();

    // Offers, newest first, each drawing left in `folder` by an editor that did not end
    // normally, until one is recovered: "Recover" opens it (modified, under its own file name),
    // "Discard" deletes it, a closed question keeps it for a later start.
    void offerRecovery(const QString& folder = RecoveryCopy::defaultFolder());

    // The command line `tintweave [DRAWING.xml]` (arguments()[0] is the program): opens the
    // drawing when one is named. False when it could not be read (the drawing stays empty).
    bool openArguments(const QStringList& arguments);

    // The session ends without the user (see session_end.h): the drawing, when it has unsaved
    // changes, is left in its recovery copy for the next start, which offers it as after a
    // crash. leaveForNextStart keeps the editor running; endSession then quits the event loops
    // (an open question box included) without asking anything.
    void leaveForNextStart();
    void endSession();
    // True once endSession ran (an event loop started later must not run).
    bool sessionEnded() const { return ended; }

    Document document;
    Viewer viewer{&document};
    // The commands on the viewer's drawing, wired to the panel and the viewer's keys.
    EditorCommands commands{viewer};
    Interface panel;
    // The layers list, in a dock of the panel (layers_dock.h).
    LayersList& layers;

protected:
    // Routes the panel's close requests through the viewer's question.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool closing = false; // the viewer accepted its close: the panel follows unasked
    bool ended = false;   // see sessionEnded
};
