// The life of a drawing in the real viewer: its file name and modified mark in the title, the
// question before unsaved changes are lost (answered through the dialogs seam), Save, Save As,
// New, the folder of the dialogs, and the recent files kept across runs.
#include "test_editor_support.h"

#include "curve_set_xml.h"
#include "editor.h"
#include "random_drawing.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString dataFile(const char* name)
{
    return QString::fromUtf8(TINTWEAVE_TEST_DATA_DIR) + "/" + QString::fromUtf8(name);
}

} // namespace

class DocumentLife : public EditingViewer {
protected:
    void SetUp() override
    {
        QSettings().clear(); // no recent files or folder from an earlier test
        EditingViewer::SetUp();
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override
    {
        EditingViewer::TearDown();
        QSettings().clear();
    }
    QString path(const char* name) const { return folder.filePath(name); }
    QByteArray savedXml() const { return writeCurveSetXml(viewer->curves()); }

    // One edit that goes through the history: a new curve pasted from a copied one.
    void edit()
    {
        if (doc().nb_curves == 0) {
            doc().addCurve(makeLine(Point(-0.5, 0.0), Point(0.5, 0.2)));
        }
        doc().setCurrentCurve(0);
        commands->edits.copySplines();
        commands->edits.pasteSplines();
        doc().setCurrentCurve(-1);
    }
    // A saved drawing of two curves at `name`, opened in the viewer.
    QString openTwoCurveFile(const char* name)
    {
        CurveSet set;
        set.addCurve(makeLine(Point(-0.5, 0.0), Point(0.5, 0.2)));
        set.addCurve(makeLine(Point(-0.4, 0.5), Point(0.3, 0.7)));
        EXPECT_TRUE(saveXml(set, path(name)));
        EXPECT_TRUE(viewer->document().openDrawing(path(name)));
        return path(name);
    }

    QTemporaryDir folder;
};

TEST_F(DocumentLife, TitleShowsTheFileNameAndTheModifiedMark)
{
    EXPECT_EQ(viewer->windowTitle(), "Hueflow");
    EXPECT_FALSE(viewer->isWindowModified());
    edit();
    EXPECT_EQ(viewer->windowTitle(), "Hueflow");

    dialogs->saveName = path("drawing"); // no extension typed
    ASSERT_TRUE(viewer->document().save());
    EXPECT_EQ(viewer->document().filePath(), path("drawing.xml"));
    EXPECT_EQ(fileBytes(path("drawing.xml")), savedXml());
    EXPECT_EQ(viewer->windowTitle(), "drawing.xml[*] - Hueflow");
    EXPECT_FALSE(viewer->isWindowModified());

    edit();
    EXPECT_TRUE(viewer->isWindowModified());
    viewer->document().undo(); // back at the saved state
    EXPECT_FALSE(viewer->isWindowModified());
    viewer->document().redo();
    EXPECT_TRUE(viewer->isWindowModified());
}

TEST_F(DocumentLife, SaveWritesToTheCurrentFileWithoutAsking)
{
    const QString file = openTwoCurveFile("mine.xml");
    EXPECT_EQ(viewer->windowTitle(), "mine.xml[*] - Hueflow");
    edit();
    dialogs->titles.clear();
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs->titles.isEmpty()) << "Save asked for a name";
    EXPECT_EQ(fileBytes(file), savedXml());
    EXPECT_EQ(doc().nb_curves, 3);
    EXPECT_FALSE(viewer->document().isModified());

    // Save As goes to the new name, which becomes the drawing's; a given extension is kept.
    dialogs->saveName = path("copy.svgxml");
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(viewer->document().filePath(), path("copy.svgxml"));
    EXPECT_EQ(fileBytes(path("copy.svgxml")), savedXml());
}

TEST_F(DocumentLife, CancelledSaveAsKeepsTheDrawingModified)
{
    edit();
    dialogs->saveName.clear();
    EXPECT_FALSE(viewer->document().save());
    EXPECT_TRUE(viewer->document().isModified());
    EXPECT_TRUE(viewer->document().filePath().isEmpty());
}

TEST_F(DocumentLife, NothingIsAskedWhenNothingWouldBeLost)
{
    openTwoCurveFile("a.xml");
    key(Qt::Key_R);            // clears: now modified
    viewer->document().undo(); // back at the file's state
    ASSERT_FALSE(viewer->document().isModified());
    dialogs->openName = path("a.xml");
    viewer->document().open();
    viewer->document().newDrawing();
    key(Qt::Key_R);
    EXPECT_TRUE(viewer->close());
    EXPECT_TRUE(dialogs->unsavedAsked.isEmpty()) << dialogs->unsavedAsked.join(", ").toStdString();
}

TEST_F(DocumentLife, CancelKeepsEverythingOnCloseLoadNewAndClear)
{
    openTwoCurveFile("kept.xml");
    edit();
    const QByteArray drawing = savedXml();
    const int steps = viewer->document().history().count();
    dialogs->unsavedAnswer = ScriptedDialogs::UnsavedChanges::Cancel;
    dialogs->openName = dataFile("vertical_split.xml");

    EXPECT_FALSE(viewer->close());
    EXPECT_TRUE(viewer->isVisible());
    viewer->document().open();
    viewer->document().newDrawing();
    key(Qt::Key_R);
    key(Qt::Key_N, Qt::ControlModifier);
    key(Qt::Key_O, Qt::ControlModifier);

    EXPECT_EQ(dialogs->unsavedAsked.size(), 6);
    EXPECT_TRUE(dialogs->titles.isEmpty()) << "a file dialog opened after Cancel";
    EXPECT_EQ(savedXml(), drawing);
    EXPECT_EQ(viewer->document().history().count(), steps);
    EXPECT_TRUE(viewer->document().isModified());
    EXPECT_EQ(viewer->document().filePath(), path("kept.xml"));
}

TEST_F(DocumentLife, DiscardGoesOnAndSaveSavesFirst)
{
    const QString file = openTwoCurveFile("work.xml");
    edit();
    const QByteArray edited = savedXml();

    // Save, then load: the file holds the edit, the other drawing is open.
    dialogs->unsavedAnswer = ScriptedDialogs::UnsavedChanges::Save;
    dialogs->openName = dataFile("vertical_split.xml");
    viewer->document().open();
    EXPECT_EQ(fileBytes(file), edited);
    EXPECT_EQ(viewer->document().filePath(),
              QFileInfo(dataFile("vertical_split.xml")).absoluteFilePath());
    EXPECT_EQ(doc().nb_curves, 1);
    EXPECT_EQ(viewer->document().history().count(), 0);

    // Discard, then New: the file is untouched, the drawing empty and unnamed.
    edit();
    dialogs->unsavedAnswer = ScriptedDialogs::UnsavedChanges::Discard;
    viewer->document().newDrawing();
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_TRUE(viewer->document().filePath().isEmpty());
    EXPECT_EQ(viewer->windowTitle(), "Hueflow");
    EXPECT_FALSE(viewer->document().isModified());
    EXPECT_EQ(fileBytes(file), edited);
}

TEST_F(DocumentLife, UnreadableFileKeepsTheDrawingItsNameAndItsHistory)
{
    const QString file = openTwoCurveFile("good.xml");
    edit();
    const QByteArray drawing = savedXml();
    QFile bad(path("bad.xml"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<curve_set image_width=\"512\"");
    bad.close();
    dialogs->openName = path("bad.xml");
    viewer->document().open(); // Discard is the scripted answer
    EXPECT_EQ(savedXml(), drawing);
    EXPECT_EQ(viewer->document().filePath(), file);
    EXPECT_TRUE(viewer->document().history().canUndo());
}

TEST_F(DocumentLife, ALargeDrawingReportsTheMakingOfItsFirstPicture)
{
    QVector<int> reported;
    int steps = 0;
    QObject::connect(viewer.get(), &Viewer::picturePreparing, [&](int done, int total) {
        reported.append(done);
        steps = total;
    });
    const QString large = path("large.xml");
    ASSERT_TRUE(saveXml(makeRandomDrawing(Viewer::kPreparedWithProgress), large));
    ASSERT_TRUE(viewer->document().openDrawing(large));
    QTRY_VERIFY_WITH_TIMEOUT(!reported.isEmpty() && reported.back() == steps, 120000);
    EXPECT_GE(reported.size(), 3) << "the geometry, the constraint images and the solve";
    EXPECT_EQ(reported.front(), 0);
    EXPECT_EQ(reported.back(), steps) << "the end is reported";
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_FALSE(viewer->isPictureSettling()) << "the first picture is made at once";

    reported.clear();
    openTwoCurveFile("small.xml");
    QTest::qWait(50);
    EXPECT_TRUE(reported.isEmpty()) << "a small drawing reports nothing";
}

TEST_F(DocumentLife, FileDialogsStartInTheFolderLastUsed)
{
    const QString file = openTwoCurveFile("here.xml");
    dialogs->saveName.clear();
    commands->exports.savePng();
    dialogs->openName = file;
    viewer->document().open();
    ASSERT_EQ(dialogs->folders.size(), 2);
    EXPECT_EQ(dialogs->folders[0], QFileInfo(file).absolutePath());
    EXPECT_EQ(dialogs->folders[1], QFileInfo(file).absolutePath());
}

TEST_F(DocumentLife, RecentFilesAreTheLastTenMostRecentFirst)
{
    for (int i = 0; i < 12; ++i) {
        const QByteArray name = QString("drawing%1.xml").arg(i).toUtf8();
        openTwoCurveFile(name.constData());
    }
    openTwoCurveFile("drawing3.xml"); // opened again: moves to the front
    const QStringList recent = viewer->document().recentFileList();
    ASSERT_EQ(recent.size(), 10);
    EXPECT_EQ(recent[0], path("drawing3.xml"));
    EXPECT_EQ(recent[1], path("drawing11.xml"));
    EXPECT_EQ(recent[8], path("drawing4.xml"));
    EXPECT_EQ(recent[9], path("drawing2.xml")) << "drawing0 and drawing1 fell off the end";
    EXPECT_EQ(recent.count(path("drawing3.xml")), 1);

    // A recent file that has gone is dropped and nothing is opened.
    QFile::remove(path("drawing11.xml"));
    viewer->document().openRecent(path("drawing11.xml"));
    EXPECT_EQ(viewer->document().filePath(), path("drawing3.xml"));
    EXPECT_FALSE(viewer->document().recentFileList().contains(path("drawing11.xml")));
}

// The editor as the executable builds it: the panel's File and Edit menus, both windows' keys,
// recent files across a restart, the command line and closing.
class EditorDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings().clear();
        ASSERT_TRUE(folder.isValid());
        start();
    }
    void TearDown() override
    {
        editor.reset();
        QSettings().clear();
    }
    void start() { startScriptedEditor(editor, dialogs); }
    CurveSet& doc() { return editor->viewer.curves(); }
    QString path(const char* name) const { return folder.filePath(name); }
    QString writeDrawing(const char* name, int curves)
    {
        CurveSet set;
        for (int i = 0; i < curves; ++i)
            set.addCurve(makeLine(Point(-0.5, 0.1 * i), Point(0.5, 0.1 * i + 0.2)));
        EXPECT_TRUE(saveXml(set, path(name)));
        return path(name);
    }
    // Makes the panel the active window, so that its shortcuts apply.
    ::testing::AssertionResult activatePanel()
    {
        editor->panel.activateWindow();
        editor->panel.raise();
        if (!QTest::qWaitForWindowActive(&editor->panel))
            return ::testing::AssertionFailure() << "the panel never became the active window";
        return ::testing::AssertionSuccess();
    }

    QTemporaryDir folder;
    std::unique_ptr<Editor> editor;
    ScriptedDialogs* dialogs = nullptr;
};

TEST_F(EditorDocument, FileMenuOpensSavesAndStartsNewDrawings)
{
    dialogs->openName = writeDrawing("three.xml", 3);
    editor->panel.actionLoad->trigger();
    ASSERT_EQ(doc().nb_curves, 3);
    EXPECT_EQ(editor->viewer.windowTitle(), "three.xml[*] - Hueflow");

    doc().setCurrentCurve(0);
    editor->commands.edits.deleteSplines();
    editor->panel.actionSave->trigger();
    CurveSet reread;
    ASSERT_TRUE(loadXml(reread, path("three.xml")));
    EXPECT_EQ(reread.nb_curves, 2);

    dialogs->saveName = path("other");
    editor->panel.actionSave_as_XML->trigger();
    EXPECT_TRUE(QFileInfo::exists(path("other.xml")));
    editor->panel.actionNew->trigger();
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_EQ(editor->viewer.windowTitle(), "Hueflow");
    // The old entries still work: Load XML opens, Save as XML asks for a name.
    dialogs->openName = path("three.xml");
    editor->panel.actionLoad->trigger();
    EXPECT_EQ(doc().nb_curves, 2);
}

TEST_F(EditorDocument, EditMenuNamesTheStepsAndGreysWhenThereIsNone)
{
    EXPECT_FALSE(editor->panel.actionUndo->isEnabled());
    EXPECT_FALSE(editor->panel.actionRedo->isEnabled());
    doc().addCurve(
        makeCurve({Point(-0.5, 0.0), Point(-0.2, 0.3), Point(0.2, 0.3), Point(0.5, 0.0)}));
    doc().setCurrentCurve(0);
    editor->panel.buttonSmooth->click();
    EXPECT_TRUE(editor->panel.actionUndo->isEnabled());
    EXPECT_EQ(editor->panel.actionUndo->text(), "&Undo Smooth");
    const QByteArray smoothed = writeCurveSetXml(doc());
    editor->panel.actionUndo->trigger();
    EXPECT_FALSE(editor->panel.actionUndo->isEnabled());
    EXPECT_EQ(editor->panel.actionUndo->text(), "&Undo");
    EXPECT_EQ(editor->panel.actionRedo->text(), "&Redo Smooth");
    editor->panel.actionRedo->trigger();
    EXPECT_EQ(writeCurveSetXml(doc()), smoothed);
}

TEST_F(EditorDocument, UndoAndClipboardKeysWorkInThePanelWindow)
{
    doc().addCurve(makeLine(Point(-0.5, 0.0), Point(0.5, 0.2)));
    doc().setCurrentCurve(0);
    ASSERT_TRUE(activatePanel());
    QTest::keyClick(&editor->panel, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&editor->panel, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(doc().nb_curves, 2);
    QTest::keyClick(&editor->panel, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().nb_curves, 1);
    QTest::keyClick(&editor->panel, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(doc().nb_curves, 2);
    QTest::keyClick(&editor->panel, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&editor->panel, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(doc().nb_curves, 2);
    doc().setCurrentCurve(1);
    QTest::keyClick(&editor->panel, Qt::Key_Delete);
    EXPECT_EQ(doc().nb_curves, 1);
}

TEST_F(EditorDocument, RecentFilesSurviveARestart)
{
    const QString first = writeDrawing("first.xml", 1);
    const QString second = writeDrawing("second.xml", 2);
    ASSERT_TRUE(editor->viewer.document().openDrawing(first));
    ASSERT_TRUE(editor->viewer.document().openDrawing(second));
    QStringList shown;
    for (QAction* entry : editor->panel.menuOpen_Recent->actions())
        shown << entry->data().toString();
    EXPECT_EQ(shown, QStringList({second, first}));

    editor.reset();
    start();
    QStringList kept;
    for (QAction* entry : editor->panel.menuOpen_Recent->actions())
        kept << entry->data().toString();
    ASSERT_EQ(kept, QStringList({second, first}));
    EXPECT_TRUE(editor->panel.menuOpen_Recent->isEnabled());
    editor->panel.menuOpen_Recent->actions().at(1)->trigger();
    EXPECT_EQ(editor->viewer.document().filePath(), first);
    EXPECT_EQ(doc().nb_curves, 1);
    EXPECT_EQ(editor->panel.menuOpen_Recent->actions().at(0)->data().toString(), first);
}

TEST_F(EditorDocument, CommandLineOpensTheNamedDrawing)
{
    editor.reset();
    editor = std::make_unique<Editor>();
    EXPECT_TRUE(editor->openArguments({"tintweave", writeDrawing("given.xml", 2)}));
    EXPECT_EQ(doc().nb_curves, 2);
    EXPECT_EQ(editor->viewer.windowTitle(), "given.xml[*] - Hueflow");
    EXPECT_FALSE(editor->viewer.document().isModified());

    editor = std::make_unique<Editor>();
    EXPECT_FALSE(editor->openArguments({"tintweave", path("missing.xml")}));
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_EQ(editor->viewer.windowTitle(), "Hueflow");
    EXPECT_TRUE(editor->openArguments({"tintweave"}));
}

TEST_F(EditorDocument, ClosingEitherWindowAsksAndCancelKeepsBothOpen)
{
    doc().addCurve(
        makeCurve({Point(-0.5, 0.0), Point(-0.2, 0.3), Point(0.2, 0.3), Point(0.5, 0.0)}));
    doc().setCurrentCurve(0);
    editor->commands.edits.smoothSplines();
    ASSERT_TRUE(editor->viewer.document().isModified());
    const QByteArray drawing = writeCurveSetXml(doc());
    dialogs->unsavedAnswer = ScriptedDialogs::UnsavedChanges::Cancel;
    EXPECT_FALSE(editor->panel.close());
    editor->panel.actionQuit->trigger();
    EXPECT_TRUE(editor->panel.isVisible());
    EXPECT_TRUE(editor->viewer.isVisible());
    EXPECT_EQ(dialogs->unsavedAsked.size(), 2);
    EXPECT_EQ(writeCurveSetXml(doc()), drawing);

    dialogs->unsavedAnswer = ScriptedDialogs::UnsavedChanges::Discard;
    EXPECT_TRUE(editor->panel.close());
    EXPECT_FALSE(editor->panel.isVisible());
    EXPECT_FALSE(editor->viewer.isVisible());
    EXPECT_EQ(dialogs->unsavedAsked.size(), 3);
}

TEST_F(EditorDocument, ClosingTheViewerClosesThePanelToo)
{
    QKeyEvent quit(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier);
    QApplication::sendEvent(&editor->viewer, &quit);
    EXPECT_FALSE(editor->panel.isVisible());
    EXPECT_FALSE(editor->viewer.isVisible());
    EXPECT_TRUE(dialogs->unsavedAsked.isEmpty()) << "nothing was modified";
}
