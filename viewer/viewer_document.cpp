// The document shown: its title and modified mark, its questions put as this window's dialogs,
// the view reset for another drawing, and closing the window.
#include "viewer.h"

#include "dialog_questions.h"

#include <QCloseEvent>
#include <QScreen>

void Viewer::attachDocument()
{
    questions =
        std::make_unique<DialogQuestions>(this, [this]() -> ViewerDialogs& { return dialogs(); });
    doc.setQuestions(questions.get());
    connect(&doc, &Document::titleChanged, this, &Viewer::updateTitle);
    connect(&doc, &Document::drawingReplaced, this, &Viewer::resetViewForDrawing);
    connect(&doc, &Document::outcomeReported, this, &Viewer::outcomeReported);
    // After an undo or redo the renderer re-solves and the panel shows the current values.
    connect(&doc, &Document::drawingChanged, this, [this] {
        clearScribbleTrail();
        fullUpdate();
        reportCurrentValues();
    });
    updateTitle();
}

void Viewer::resetViewForDrawing()
{
    // The window takes the drawing's size, but no more than the screen holds: a stored size can
    // be far beyond what a GL framebuffer may be.
    const QSize stored(curveSet.image_width, curveSet.image_height);
    const QSize screenSize =
        screen() != nullptr ? screen()->availableGeometry().size() : QSize(4096, 4096);
    if (!stored.isEmpty())
        resize(stored.boundedTo(screenSize));
    clearScribbleTrail();
    showWholeCanvas();
    reportCurrentValues();
}

void Viewer::updateTitle()
{
    setWindowTitle(doc.windowTitle());
    // A new drawing's title carries no mark ("Hueflow" alone).
    setWindowModified(!doc.filePath().isEmpty() && doc.isModified());
}

void Viewer::closeEvent(QCloseEvent* event)
{
    doc.finishGesture();
    if (!doc.maybeSaveChanges()) {
        event->ignore();
        return;
    }
    QGLViewer::closeEvent(event);
    event->accept();
    emit closed();
}
