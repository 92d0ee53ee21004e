// Keyframe export through the real viewer and renderer: frame names, frame count, the shared
// frame between two transitions, the console lines and the output folder.
#include "test_mouse_support.h"

#include "diffusion_solver.h"
#include "keyframe_export.h"
#include "curve_set_xml.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

#include <iostream>
#include <sstream>

namespace {

// Runs `action` with the working directory set to `folder` and both console streams captured.
struct ConsoleCapture {
    std::ostringstream out;
    std::ostringstream err;
};

template <typename Action>
void runIn(const QString& folder, ConsoleCapture& console, Action action)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder));
    std::streambuf* oldOut = std::cout.rdbuf(console.out.rdbuf());
    std::streambuf* oldErr = std::cerr.rdbuf(console.err.rdbuf());
    action();
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
    QDir::setCurrent(previous);
}

// The lines of the export's console output, without the curve counts the XML reader prints.
QStringList exportLines(const std::string& out)
{
    QStringList lines;
    for (const QString& line : QString::fromStdString(out).split('\n', Qt::SkipEmptyParts)) {
        bool isCount = false;
        line.toInt(&isCount);
        if (!isCount)
            lines << line;
    }
    return lines;
}

// One keyframe: a single curve whose colours and position follow `shift`, same structure in
// every keyframe so that the transitions blend point for point.
CurveSet keyframe(double shift)
{
    CurveSet set;
    set.addCurve(makeLine(Point(-0.5 + shift, -0.5), Point(0.2 + shift, 0.6),
                          QColor(250 - int(200 * shift), 30, 30), QColor(20, 40, 240)));
    return set;
}

} // namespace

class KeyframeExport : public EditingViewer {
protected:
    void SetUp() override
    {
        EditingViewer::SetUp();
        for (int k = 0; k < 3; ++k) {
            const QString name = folder.filePath(QString("key%1.xml").arg(k));
            ASSERT_TRUE(saveXml(keyframe(0.3 * k), name));
            keyframes << name;
        }
    }
    QString frame(int n) const { return folder.filePath(QString("output/interpol%1.png").arg(n)); }
    QTemporaryDir folder;
    QStringList keyframes;
    ConsoleCapture console;
};

TEST_F(KeyframeExport, ThreeDrawingsGiveFrames0To51WithTheJointFrameTwice)
{
    addCurve(makeLine(Point(0, 0), Point(0.5, 0.5)));
    viewer->navigation().zoomIn();
    dialogs->openNames = keyframes;
    runIn(folder.path(), console, [&] { commands->exports.interpolate(); });

    for (int n = 0; n <= 51; ++n)
        ASSERT_TRUE(QFile::exists(frame(n))) << "frame " << n;
    EXPECT_FALSE(QFile::exists(frame(52)));
    const QImage last = QImage(frame(25));
    ASSERT_EQ(last.size(), QSize(512, 512));
    EXPECT_EQ(last, QImage(frame(26)));
    EXPECT_NE(QImage(frame(24)), last);
    EXPECT_NE(QImage(frame(0)), QImage(frame(51)));

    // Besides the reader's curve counts, one line per frame in order, then "done!".
    QStringList expectedLines;
    for (int n = 0; n <= 51; ++n)
        expectedLines << QString("Processing frame %1...").arg(n);
    expectedLines << "done!";
    EXPECT_EQ(exportLines(console.out.str()), expectedLines);
    EXPECT_TRUE(console.err.str().empty()) << console.err.str();
    EXPECT_EQ(dialogs->news, QStringList({"Keyframes: Exported 52 frames to output/"}));

    // The viewer's own drawing and view are back in the renderer.
    EXPECT_EQ(viewer->solver().currentView().zoom, 2.0);
    EXPECT_EQ(doc().nb_curves, 1);
}

TEST_F(KeyframeExport, OneDrawingWritesAndPrintsNothing)
{
    dialogs->openNames = keyframes.mid(0, 1);
    runIn(folder.path(), console, [&] { commands->exports.interpolate(); });
    EXPECT_FALSE(QDir(folder.filePath("output")).exists());
    EXPECT_TRUE(console.out.str().empty()) << console.out.str();
}

TEST_F(KeyframeExport, BlockedOutputFolderIsReportedNotDone)
{
    // A plain file where the output folder should be: no frame can be written.
    QFile blocker(folder.filePath("output"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    dialogs->openNames = keyframes.mid(0, 2);
    runIn(folder.path(), console, [&] { commands->exports.interpolate(); });

    EXPECT_TRUE(console.out.str().empty()) << console.out.str();
    EXPECT_NE(console.err.str().find("Cannot create the folder output for the frames"),
              std::string::npos)
        << console.err.str();
    EXPECT_FALSE(QFile::exists(frame(0)));
}

TEST(KeyframeLoop, ReportsOnlyTheFramesThatFailed)
{
    QTemporaryDir folder;
    QStringList files;
    for (int k = 0; k < 2; ++k) {
        files << folder.filePath(QString("k%1.xml").arg(k));
        ASSERT_TRUE(saveXml(keyframe(0.2 * k), files.back()));
    }
    QStringList written;
    QVector<double> firstX;
    const FrameWriter writer = [&](const CurveSet& frame, const QString& path) {
        written << path;
        firstX << frame.curve(0).controlPoint(0).x;
        return !path.endsWith("interpol7.png");
    };
    std::ostringstream out;
    std::ostringstream err;
    const KeyframeExportReport report =
        exportKeyframes(files, folder.filePath("frames/interpol"), writer, out, err);
    EXPECT_TRUE(QDir(folder.filePath("frames")).exists());
    ASSERT_EQ(written.size(), 26);
    EXPECT_EQ(report.framesAttempted, 26);
    EXPECT_EQ(report.failedFrames, QStringList({folder.filePath("frames/interpol7.png")}));
    EXPECT_EQ(out.str().find("done!"), std::string::npos);
    EXPECT_NE(err.str().find("1 of 26 frames could not be saved"), std::string::npos);
    // The blend runs from the first keyframe to the second in steps of 1/25.
    EXPECT_NEAR(firstX.front(), -0.5, 1e-4);
    EXPECT_NEAR(firstX[5], -0.5 + 0.2 * 5 / 25, 1e-4);
    EXPECT_NEAR(firstX.back(), -0.3, 1e-4);
}

// ---- the export as the user steers it: options, progress, Cancel, the closing message

namespace {

// While an export runs, looks at its progress dialog on every pass of the event loop (the
// export lets the loop run between frames): remembers what it showed and how many frames the
// viewer drew, and clicks Cancel once `cancelAt` frames are done (never when 0).
class ProgressWatcher {
public:
    ProgressWatcher(Viewer& viewer, int cancelAt) : viewer(viewer), cancelAt(cancelAt)
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { look(); });
        timer.start(0);
    }
    QStringList labels;
    bool sawDialogShown = false;
    long framesAtLastLook = -1;

private:
    void look()
    {
        auto* progress = viewer.findChild<QProgressDialog*>();
        if (progress == nullptr)
            return;
        sawDialogShown = sawDialogShown || progress->isVisible();
        auto* label = progress->findChild<QLabel*>();
        if (label != nullptr && (labels.isEmpty() || labels.last() != label->text()))
            labels << label->text();
        framesAtLastLook = viewer.framesDrawn();
        if (cancelAt > 0 && progress->value() >= cancelAt && !progress->wasCanceled()) {
            auto* cancel = progress->findChild<QPushButton*>();
            if (cancel != nullptr)
                QTest::mouseClick(cancel, Qt::LeftButton);
        }
    }
    Viewer& viewer;
    int cancelAt;
    QTimer timer;
};

} // namespace

TEST_F(KeyframeExport, CancelAfterTheFirstFramesKeepsExactlyThoseFrames)
{
    addCurve(makeLine(Point(0, 0), Point(0.5, 0.5)));
    dialogs->openNames = keyframes; // three drawings: 52 frames were asked for
    QSignalSpy outcome(viewer.get(), &Viewer::outcomeReported);
    QTest::qWait(50); // no repaint left pending from the set-up
    const long framesBefore = viewer->framesDrawn();
    ProgressWatcher watcher(*viewer, 2);
    runIn(folder.path(), console, [&] { commands->exports.interpolate(); });

    EXPECT_TRUE(QFile::exists(frame(0)));
    EXPECT_TRUE(QFile::exists(frame(1)));
    EXPECT_EQ(QDir(folder.filePath("output")).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(watcher.sawDialogShown);
    EXPECT_TRUE(watcher.labels.contains("Frame 1 of 52"))
        << watcher.labels.join(", ").toStdString();
    EXPECT_TRUE(watcher.labels.contains("Frame 2 of 52"));
    // The viewer kept repainting while the frames were made: once per frame at least.
    EXPECT_GE(watcher.framesAtLastLook - framesBefore, 2);
    EXPECT_EQ(viewer->findChild<QProgressDialog*>(), nullptr);

    EXPECT_EQ(exportLines(console.out.str()),
              QStringList({"Processing frame 0...", "Processing frame 1...",
                           "Stopped after frame 1 of 52"}));
    EXPECT_EQ(dialogs->news,
              QStringList({"Keyframes: Stopped after exporting 2 frames to output/"}));
    ASSERT_EQ(outcome.count(), 1);
    EXPECT_EQ(outcome.at(0).at(0).toString(), "Stopped after exporting 2 frames to output/");
    EXPECT_TRUE(dialogs->messages.isEmpty());
    // The viewer's own drawing is back in the renderer.
    EXPECT_EQ(doc().nb_curves, 1);
    EXPECT_EQ(viewer->solver().currentView().zoom, 1.0);
}

TEST_F(KeyframeExport, ChosenFolderAndFramesPerPairAreUsedAndNamedAtTheEnd)
{
    dialogs->openNames = keyframes;
    dialogs->keyframeAnswer.folder = "clips/walk";
    dialogs->keyframeAnswer.framesPerPair = 4;
    ProgressWatcher watcher(*viewer, 0);
    runIn(folder.path(), console, [&] { commands->exports.interpolate(); });

    ASSERT_EQ(dialogs->keyframeAsked, 1);
    const QDir clips(folder.filePath("clips/walk"));
    QStringList expected;
    for (int n = 0; n < 8; ++n)
        expected << QString("interpol%1.png").arg(n);
    QStringList written = clips.entryList(QDir::Files);
    std::sort(written.begin(), written.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(written, expected);
    EXPECT_FALSE(QDir(folder.filePath("output")).exists());
    // Each pair runs from its first drawing to its second: frames 3 and 4 are the same one.
    EXPECT_EQ(QImage(clips.filePath("interpol3.png")), QImage(clips.filePath("interpol4.png")));
    EXPECT_NE(QImage(clips.filePath("interpol2.png")), QImage(clips.filePath("interpol3.png")));
    EXPECT_TRUE(watcher.labels.contains("Frame 8 of 8")) << watcher.labels.join(", ").toStdString();
    EXPECT_EQ(dialogs->news, QStringList({"Keyframes: Exported 8 frames to clips/walk/"}));
    EXPECT_EQ(exportLines(console.out.str()).last(), "done!");
}

TEST_F(KeyframeExport, CancelledOptionsWriteNothing)
{
    dialogs->openNames = keyframes;
    dialogs->keyframeAccepted = false;
    runIn(folder.path(), console, [&] { commands->exports.interpolate(); });
    EXPECT_EQ(dialogs->keyframeAsked, 1);
    EXPECT_FALSE(QDir(folder.filePath("output")).exists());
    EXPECT_TRUE(console.out.str().empty()) << console.out.str();
    EXPECT_TRUE(dialogs->news.isEmpty());
}

TEST_F(KeyframeExport, FailuresAreShownOnScreen)
{
    QFile blocker(folder.filePath("output"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    dialogs->openNames = keyframes.mid(0, 2);
    runIn(folder.path(), console, [&] { commands->exports.interpolate(); });
    EXPECT_EQ(dialogs->messages,
              QStringList(
                  {"Keyframes: Could not create the folder output/: no frame was written"}));
    EXPECT_TRUE(dialogs->news.isEmpty());
}

TEST_F(KeyframeExport, MismatchedKeyframesAreShownAndWriteNoFrame)
{
    CurveSet twoCurves = keyframe(0.3);
    twoCurves.addCurve(makeLine(Point(0.1, 0.1), Point(0.4, -0.3)));
    const QString extra = folder.filePath("extra.xml");
    ASSERT_TRUE(saveXml(twoCurves, extra));
    dialogs->openNames = QStringList{keyframes[0], keyframes[1], extra};
    runIn(folder.path(), console, [&] { commands->exports.interpolate(); });

    const QString mismatch =
        "keyframes do not match: " + keyframes[1] + " has 1 curve and " + extra + " 2";
    EXPECT_EQ(dialogs->messages, QStringList({"Keyframes: No frame was written: " + mismatch}));
    EXPECT_TRUE(dialogs->news.isEmpty());
    EXPECT_TRUE(QDir(folder.filePath("output")).entryList(QDir::Files).isEmpty());
    EXPECT_NE(console.err.str().find(mismatch.toStdString()), std::string::npos)
        << console.err.str();
    EXPECT_EQ(console.out.str().find("Processing frame"), std::string::npos);
}

// The real options dialog, answered through its own widgets once it runs.
TEST(KeyframeOptionsDialog, OffersTheDefaultsAndReturnsTheAnswer)
{
    ViewerDialogs real;
    for (const bool accept : {true, false}) {
        QString offeredFolder;
        int offeredFrames = 0;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            auto* folder = dialog->findChild<QLineEdit*>();
            auto* frames = dialog->findChild<QSpinBox*>();
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            ASSERT_TRUE(folder != nullptr && frames != nullptr && buttons != nullptr);
            offeredFolder = folder->text();
            offeredFrames = frames->value();
            folder->setText("clips");
            frames->setValue(10);
            QTest::mouseClick(buttons->button(accept ? QDialogButtonBox::Ok
                                                     : QDialogButtonBox::Cancel),
                              Qt::LeftButton);
        });
        KeyframeOptions options;
        EXPECT_EQ(real.askKeyframeOptions(nullptr, options), accept);
        EXPECT_EQ(offeredFolder, "output");
        EXPECT_EQ(offeredFrames, 26);
        EXPECT_EQ(options.folder, accept ? "clips" : "output");
        EXPECT_EQ(options.framesPerPair, accept ? 10 : 26);
    }
}
