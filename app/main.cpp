// Tintweave: the viewer window and the control panel, wired together. `tintweave DRAWING.xml`
// opens that drawing at start; a drawing left by an editor that did not end normally is offered
// next.

#include "editor.h"
#include "scripted_edits.h"
#include "session_end.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Before the application object, which every platform accepts, and so certainly before the
    // viewer's GL context exists.
    installSurfaceFormat();
    QApplication application(argc, argv);
    installApplicationNames();

    Editor editor;
    // A logout, a shutdown, a closed terminal or Ctrl+C leave unsaved work for the next start.
    const SessionEnd sessionEnd([&editor] { editor.endSession(); },
                                [&editor] { editor.leaveForNextStart(); });
    editor.openArguments(QCoreApplication::arguments());
    editor.show();
    editor.offerRecovery();
    if (editor.sessionEnded()) // during the recovery question
        return 0;
    if (qEnvironmentVariableIsSet(kScriptedEditsVariable))
        scheduleScriptedEdits(editor.document,
                              qEnvironmentVariable(kScriptedEditsVariable).split(':'));
    return application.exec();
}
