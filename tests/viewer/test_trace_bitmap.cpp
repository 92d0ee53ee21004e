// File > Trace Bitmap... through the real viewer and renderer: a bitmap asked for, traced into
// the drawing as one undo step, replacing it or added to it; a cancelled question changes
// nothing.
#include "test_mouse_support.h"

#include <QPainter>
#include <QProgressDialog>
#include <QTimer>
#include <QTemporaryDir>

namespace {

// The scripted dialogs, answering the trace question too.
class TraceScript : public ScriptedDialogs {
public:
    bool traceAccepted = true;
    bool traceReplace = true;
    int traceAsked = 0;
    bool offeredReplaceOrAdd = false;

    bool askTraceOptions(QWidget*, TraceOptions& options) override
    {
        ++traceAsked;
        offeredReplaceOrAdd = options.drawingHasCurves;
        options.replace = traceReplace;
        return traceAccepted;
    }
};

class TraceBitmap : public EditingViewer {
protected:
    void SetUp() override
    {
        EditingViewer::SetUp();
        if (HasFatalFailure())
            return;
        auto owned = std::make_unique<TraceScript>();
        script = owned.get();
        dialogs = owned.get();
        viewer->setDialogs(std::move(owned));
        // A dark disc on a light ground: one closed edge.
        QImage image(300, 300, QImage::Format_RGB32);
        image.fill(qRgb(235, 225, 200));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 50, 140));
        painter.drawEllipse(QPointF(150, 150), 80, 80);
        painter.end();
        ASSERT_TRUE(image.save(folder.filePath("disc.png")));
        script->openName = folder.filePath("disc.png");
    }

    TraceScript* script = nullptr;
    QTemporaryDir folder;
};

} // namespace

TEST_F(TraceBitmap, TracedCurvesAreAddedAsOneUndoStep)
{
    Curve existing;
    for (int i = 0; i <= 3; ++i)
        existing.appendControlPoint(-0.9 + 0.1 * i, -0.9);
    doc().addCurve(existing);
    script->traceReplace = false;
    commands->files.traceBitmap();
    EXPECT_EQ(script->traceAsked, 1);
    EXPECT_TRUE(script->offeredReplaceOrAdd);
    ASSERT_EQ(doc().nb_curves, 2);
    EXPECT_TRUE(doc().curve(1).isClosed());
    EXPECT_EQ(viewer->document().history().undoText(), QString("Trace Bitmap"));
    viewer->document().undo();
    EXPECT_EQ(doc().nb_curves, 1);
    viewer->document().redo();
    EXPECT_EQ(doc().nb_curves, 2);
}

TEST_F(TraceBitmap, TracedCurvesReplaceTheDrawingWhenAsked)
{
    Curve existing;
    for (int i = 0; i <= 3; ++i)
        existing.appendControlPoint(-0.9 + 0.1 * i, -0.9);
    doc().addCurve(existing);
    commands->files.traceBitmap();
    ASSERT_EQ(doc().nb_curves, 1);
    EXPECT_TRUE(doc().curve(0).isClosed());
    // The traced drawing is a new one: undo leaves it empty, the replaced drawing is gone.
    viewer->document().undo();
    EXPECT_EQ(doc().nb_curves, 0);
}

TEST_F(TraceBitmap, CancelledQuestionOrFileChangesNothing)
{
    script->traceAccepted = false;
    commands->files.traceBitmap();
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_EQ(viewer->document().history().count(), 0);
    script->traceAccepted = true;
    script->openName.clear();
    commands->files.traceBitmap();
    EXPECT_EQ(script->traceAsked, 1);
    EXPECT_EQ(doc().nb_curves, 0);
}

TEST_F(TraceBitmap, CancelWhileTheColoursAreFittedChangesNothing)
{
    // Cancel pressed once the progress dialog says the colours are being fitted.
    bool cancelledWhileFitting = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<QProgressDialog*>(window);
            if (progress && progress->isVisible()
                && progress->labelText() == QString("Fitting the colours...")) {
                progress->cancel();
                cancelledWhileFitting = true;
            }
        }
    });
    watcher.start(0);
    commands->files.traceBitmap();
    watcher.stop();
    EXPECT_TRUE(cancelledWhileFitting);
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_EQ(viewer->document().history().count(), 0);
}
