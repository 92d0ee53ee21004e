#include "viewer_document.h"

#include "dialog_questions.h"
#include "mouse_tools.h"
#include "view_navigator.h"
#include "viewer.h"
#include "viewer_settings.h"

#include <QScreen>

DocumentBinding::DocumentBinding(Viewer& shown, Document& drawing)
    : viewer(shown), document(drawing),
      questions(std::make_unique<DialogQuestions>(&viewer, [this]() -> ViewerDialogs& {
          return viewer.dialogs();
      }))
{
    document.setQuestions(questions.get());
    QObject::connect(&document, &Document::titleChanged, &viewer, [this] { updateTitle(); });
    QObject::connect(&document, &Document::drawingReplaced, &viewer,
                     [this] { resetViewForDrawing(); });
    QObject::connect(&document, &Document::outcomeReported, &viewer, &Viewer::outcomeReported);
    QObject::connect(&viewer, &Viewer::picturePreparing, &viewer, [this](int done, int total) {
        questions->showPreparingProgress(done, total);
    });
    // After an undo or redo the panel shows the current values (the picture follows the
    // document's drawingEdited, as after every change).
    QObject::connect(&document, &Document::drawingChanged, &viewer, [this] {
        viewer.tools().clearOverlays();
        viewer.settings().reportCurrentValues();
    });
    updateTitle();
}

DocumentBinding::~DocumentBinding()
{
    // The document may outlive the window: it no longer asks through it or reports to it.
    document.setQuestions(nullptr);
    QObject::disconnect(&document, nullptr, &viewer, nullptr);
}

void DocumentBinding::resetViewForDrawing()
{
    // The window takes the drawing's size, but no more than the screen holds: a stored size can
    // be far beyond what a GL framebuffer may be.
    const CurveSet& curves = document.curves();
    const QSize stored(curves.image_width, curves.image_height);
    const QSize screenSize = viewer.screen() != nullptr
                                 ? viewer.screen()->availableGeometry().size()
                                 : QSize(4096, 4096);
    if (!stored.isEmpty())
        viewer.resize(stored.boundedTo(screenSize));
    viewer.tools().clearOverlays();
    viewer.navigation().showWholeCanvas();
    viewer.settings().reportCurrentValues();
    // A large drawing's first picture is made with its progress shown (before the first show,
    // the viewer's start does that).
    if (viewer.isGLReady())
        viewer.scheduleLargePicture();
}

void DocumentBinding::updateTitle()
{
    viewer.setWindowTitle(document.windowTitle());
    // A new drawing's title carries no mark ("Hueflow" alone).
    viewer.setWindowModified(!document.filePath().isEmpty() && document.isModified());
}
