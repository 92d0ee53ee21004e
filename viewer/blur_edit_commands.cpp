#include "blur_edit_commands.h"

#include "mouse_tools.h"
#include "viewer.h"
#include "viewer_settings.h"

#include <QKeyEvent>
#include <QPointer>

BlurEditCommands::BlurEditCommands(Viewer& shown) : viewer(shown), edit(shown.document())
{
    connect(&viewer.settings(), &ViewerSettings::blurPointPressed, this,
            &BlurEditCommands::editBlurPoint);
    connect(&viewer.tools().menus, &ContextMenuController::blurShiftRequested, this,
            &BlurEditCommands::editBlurShift);
    // Undo, redo and another drawing end an open gesture, and with it the edit.
    const auto drawingMoved = [this] { endIfClosed(true); };
    connect(&viewer.document().history(), &DrawingHistory::indexChanged, this, drawingMoved);
    connect(&viewer.document(), &Document::drawingReplaced, this, drawingMoved);
    viewer.installEventFilter(this);
    QPointer<BlurEditCommands> self(this);
    viewer.addKeyHandler(
        [self](const QKeyEvent& event) { return self != nullptr && self->handleKey(event); });
}

void BlurEditCommands::editBlurPoint(int index)
{
    commit();
    const int value = edit.beginPoint(index);
    if (value < 0)
        return;
    // An edit of a blur the picture does not show would look like nothing happened.
    viewer.settings().showBlurOfEdit();
    emit blurPointEditStarted(value);
}

void BlurEditCommands::editBlurShift()
{
    commit();
    if (!edit.beginShift())
        return;
    viewer.settings().showBlurOfEdit();
    emit blurShiftEditStarted();
}

void BlurEditCommands::preview(int value)
{
    endIfClosed();
    if (!edit.isOpen())
        return;
    edit.preview(value);
}

void BlurEditCommands::commit()
{
    endIfClosed();
    if (edit.isOpen())
        finish(edit.commit());
}

void BlurEditCommands::cancel()
{
    endIfClosed();
    if (edit.isOpen())
        finish(edit.cancel());
}

void BlurEditCommands::finish(const QString& outcome)
{
    emit viewer.outcomeReported(outcome);
    emit blurEditEnded();
}

void BlurEditCommands::endIfClosed(bool drawingMoved)
{
    if (edit.forgetIfClosed(drawingMoved))
        emit blurEditEnded();
}

bool BlurEditCommands::handleKey(const QKeyEvent& event)
{
    if (!edit.isOpen())
        return false;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: commit(); return true;
    case Qt::Key_Escape: cancel(); return true;
    default: return false;
    }
}

bool BlurEditCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &viewer && event->type() == QEvent::MouseButtonPress)
        commit();
    return QObject::eventFilter(watched, event);
}
