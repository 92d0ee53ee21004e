// The rough edges a newcomer meets, through both real windows: a traced drawing opens as a new
// untitled one, shows itself and its curves' colours; no save path replaces a file unasked;
// each kind of file keeps its folder; a blur edit shows; help from either window; refusals say
// their real reason; File > Export PDF...; a click a few pixels beside a curve picks it.
#include "test_editor_support.h"

#include "curve_set_xml.h"
#include "diffusion_solver.h"
#include "mouse_tool.h"
#include "help_window.h"
#include "busy_picture.h"
#include "recent_files.h"
#include "viewer_settings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QScreen>

#include <cmath>
#include <iostream>
#include <vector>

namespace {

// The scripted dialogs, answering the trace question as well: Replace unless told otherwise.
class TraceScript : public ScriptedDialogs {
public:
    bool traceReplace = true;
    double traceDetail = 0.5;
    double traceSensitivity = 0.5;
    bool askTraceOptions(QWidget*, TraceOptions& options) override
    {
        options.replace = traceReplace;
        options.detail = traceDetail;
        options.sensitivity = traceSensitivity;
        return true;
    }
};

// Saves `image` as NAME.png in the folder TINTWEAVE_SCREENSHOTS names, when it names one.
void keepScreenshot(const QImage& image, const char* name)
{
    const QString folder = qEnvironmentVariable("TINTWEAVE_SCREENSHOTS");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(QDir(folder).filePath(QString(name) + ".png"));
}

// Pixels of `a` and `b` (the same size) that differ, and the box around them.
struct Difference {
    int pixels = 0;
    QRect box;
};
Difference differenceOf(const QImage& a, const QImage& b)
{
    Difference d;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++d.pixels;
                d.box |= QRect(x, y, 1, 1);
            }
    return d;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class NewcomerEdges : public ScriptedEditorTest {
protected:
    void SetUp() override
    {
        ScriptedEditorTest::SetUp();
        if (HasFatalFailure())
            return;
        auto owned = std::make_unique<TraceScript>();
        script = owned.get();
        dialogs = owned.get();
        viewer().setDialogs(std::move(owned));
    }

    // A horizontal line at height y, current colours as given, and a fresh picture.
    int addLine(double y, const QColor& left = QColor(255, 255, 255),
                const QColor& right = QColor(130, 25, 25))
    {
        doc().addCurve(makeLine(Point(-0.5, y), Point(0.5, y), left, right, 0));
        viewer().settings().setLifetimeThreshold(0);
        return doc().nb_curves - 1;
    }
    void clickViewer(const QPoint& at)
    {
        QTest::mouseClick(&viewer(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void keyViewer(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&viewer(), &event);
    }
    void choose(QPushButton* tool) { QTest::mouseClick(tool, Qt::LeftButton); }
    // The pointer moved over the viewer without a button.
    void hoverViewer(const QPoint& at)
    {
        QMouseEvent move(QEvent::MouseMove, at, viewer().mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&viewer(), &move);
    }
    QAction* traceAction() { return panel().findChild<QAction*>("actionTrace_Bitmap"); }
    // A dark blue disc on a beige ground, saved as NAME in the test's folder.
    QString discBitmap(const char* name)
    {
        QImage image(300, 300, QImage::Format_RGB32);
        image.fill(qRgb(235, 225, 200));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 50, 140));
        painter.drawEllipse(QPointF(150, 150), 80, 80);
        painter.end();
        const QString file = path(name);
        EXPECT_TRUE(image.save(file));
        return file;
    }
    void loadBitmap(const QString& file)
    {
        script->openName = file;
        panel().actionLoad_Bitmap->trigger();
        ASSERT_TRUE(editor->commands.bitmap.isExampleImgLoaded());
    }
    QString outcome() { return panel().statusLines().outcomeText(); }

    TraceScript* script = nullptr;
};

// ---------------------------------------------------------------- a traced drawing

TEST_F(NewcomerEdges, ReplaceOpensTheTraceUntitledShownAndItsCurvesColoursFollowTheSelection)
{
    // An open drawing with unsaved changes, and a bitmap shown.
    addLine(-0.8);
    script->saveName = path("old.xml");
    panel().actionSave_as_XML->trigger();
    const QByteArray saved = contents(path("old.xml"));
    ASSERT_FALSE(saved.isEmpty());
    viewer().document().recordEdit("Line", [&] {
        doc().addCurve(makeLine(Point(-0.5, 0.8), Point(0.5, 0.8)));
    });
    loadBitmap(discBitmap("disc.png"));
    ASSERT_TRUE(panel().checkBoxShowExampleImg->isChecked());

    traceAction()->trigger();
    // The old drawing was offered for saving, as New does, and its file is as it was.
    EXPECT_EQ(dialogs->unsavedAsked, QStringList{"old.xml"});
    EXPECT_EQ(contents(path("old.xml")), saved);
    // An untitled, modified drawing of the traced curves alone: Save asks for a name.
    EXPECT_TRUE(viewer().document().filePath().isEmpty());
    EXPECT_TRUE(viewer().document().isModified());
    ASSERT_GT(doc().nb_curves, 0);
    for (int i = 0; i < doc().nb_curves; ++i)
        EXPECT_TRUE(doc().curve(i).isClosed()) << "only the disc's outline, curve " << i;
    // The trace is shown, not the bitmap.
    EXPECT_FALSE(panel().checkBoxShowExampleImg->isChecked());
    EXPECT_FALSE(viewer().settings().display.backgroundShown);

    // A click on a traced curve: the swatches show that curve's own colours.
    choose(panel().buttonMovePoint);
    const Curve& traced = doc().curve(0);
    clickViewer(pixel(traced.control_points[0]));
    ASSERT_EQ(doc().current_curve, 0);
    const QColor left = traced.left_colors.first();
    const QColor right = traced.right_colors.first();
    EXPECT_NE(left, kDefaultLeftColor);
    EXPECT_EQ(swatchColor(panel().buttonLeftColor), left);
    EXPECT_EQ(swatchColor(panel().buttonRightColor), right);
    EXPECT_EQ(panel().sliderBlur->value(), traced.blur_values.first());

    // Undo takes the trace back to the empty new drawing, not to the old one.
    viewer().document().undo();
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_TRUE(viewer().document().filePath().isEmpty());
}

TEST_F(NewcomerEdges, AddKeepsTheFileAndIsOneUndoableEdit)
{
    addLine(-0.8);
    script->saveName = path("kept.xml");
    panel().actionSave_as_XML->trigger();
    loadBitmap(discBitmap("disc.png"));
    script->traceReplace = false;
    traceAction()->trigger();
    EXPECT_TRUE(dialogs->unsavedAsked.isEmpty());
    EXPECT_EQ(QFileInfo(viewer().document().filePath()).fileName(), "kept.xml");
    ASSERT_GT(doc().nb_curves, 1);
    viewer().document().undo();
    EXPECT_EQ(doc().nb_curves, 1);
}

// ---------------------------------------------------------------- swatches and refusals

TEST_F(NewcomerEdges, SwatchesFollowSwitchReadColorsAndAnOpenedFile)
{
    const QColor white(255, 255, 255);
    const QColor red(130, 25, 25);
    addLine(0.0, white, red);
    choose(panel().buttonMovePoint);
    clickViewer(pixel(Point(0.0, 0.0)));
    ASSERT_EQ(doc().current_curve, 0);
    choose(panel().buttonSwitchColors);
    EXPECT_EQ(doc().curve(0).left_colors.first(), red);
    EXPECT_EQ(swatchColor(panel().buttonLeftColor), red);
    EXPECT_EQ(swatchColor(panel().buttonRightColor), white);

    // Read colors: the curve takes the bitmap's colours beside it, and so do the swatches.
    loadBitmap(discBitmap("disc.png"));
    choose(panel().buttonSampleExample);
    EXPECT_EQ(outcome(), "Read the colors of 1 curve from the bitmap");
    const QColor read = doc().curve(0).left_colors.first();
    EXPECT_NE(read, red);
    EXPECT_EQ(swatchColor(panel().buttonLeftColor), read);

    // A drawing opened: the swatches show the colours the next stroke gets in it.
    CurveSet other;
    other.addCurve(
        makeLine(Point(-0.5, 0.5), Point(0.5, 0.5), QColor(10, 200, 10), QColor(200, 10, 200), 0));
    ASSERT_TRUE(saveXml(other, path("other.xml")));
    script->openName = path("other.xml");
    script->unsavedAnswer = ViewerDialogs::UnsavedChanges::Discard;
    panel().actionLoad->trigger();
    ASSERT_EQ(doc().nb_curves, 1);
    EXPECT_EQ(swatchColor(panel().buttonLeftColor), doc().current_left_color);
    clickViewer(pixel(Point(0.0, 0.5)));
    ASSERT_EQ(doc().current_curve, 0);
    EXPECT_EQ(swatchColor(panel().buttonLeftColor), QColor(10, 200, 10));
    EXPECT_EQ(swatchColor(panel().buttonRightColor), QColor(200, 10, 200));
}

TEST_F(NewcomerEdges, RefusalsNameTheRealReasonAndTheSelectionIsWorkedOn)
{
    addLine(-0.3);
    addLine(0.3);
    panel().actionSelect_All->trigger();
    ASSERT_EQ(doc().selection.size(), 2);
    choose(panel().buttonSnake);
    EXPECT_EQ(outcome(), "Nothing to snap: load a bitmap first");
    choose(panel().buttonSampleExample);
    EXPECT_EQ(outcome(), "No colors to read: load a bitmap first");

    loadBitmap(discBitmap("disc.png"));
    choose(panel().buttonSampleExample);
    EXPECT_EQ(outcome(), "Read the colors of 2 curves from the bitmap");
    panel().spinSnapReach->setValue(10);
    choose(panel().buttonSnake);
    EXPECT_EQ(outcome(), "Snapped 2 curves (reach 10 px)");

    panel().actionDeselect->trigger();
    choose(panel().buttonSnake);
    EXPECT_EQ(outcome(), "Nothing to snap: select a curve");
    choose(panel().buttonSampleExample);
    EXPECT_EQ(outcome(), "No colors to read: select a curve");
}

// ---------------------------------------------------------------- no silent overwrite

TEST_F(NewcomerEdges, EverySavePathAsksBeforeReplacingAFileWhateverTheNameTyped)
{
    addLine(0.0);
    const QByteArray old("not replaced");
    struct SavePath {
        QAction* action;
        const char* typed;    // the name typed, without its extension
        const char* existing; // the file it names
    };
    const SavePath paths[] = {{panel().actionSave_as_Png, "picture", "picture.png"},
                              {panel().actionSave_as_XML, "drawing", "drawing.xml"},
                              {panel().actionExport_PDF, "vector", "vector.pdf"}};
    for (const SavePath& save : paths) {
        const std::string name = save.existing;
        ASSERT_TRUE(writeBytes(path(save.existing), old));
        script->saveName = path(save.typed);
        script->replaceAsked.clear();
        script->replaceAnswer = false;
        save.action->trigger();
        EXPECT_EQ(script->replaceAsked, QStringList{path(save.existing)}) << name;
        EXPECT_EQ(contents(path(save.existing)), old) << name << " was replaced unasked";

        script->replaceAnswer = true;
        save.action->trigger();
        EXPECT_NE(contents(path(save.existing)), old) << name << " not replaced when allowed";
    }
    EXPECT_TRUE(contents(path("vector.pdf")).startsWith("%PDF"));
    EXPECT_TRUE(contents(path("picture.png")).startsWith("\x89PNG"));

    // The keyframe export asks once before it writes over earlier frames.
    ASSERT_TRUE(saveXml(doc(), path("a.xml")));
    ASSERT_TRUE(saveXml(doc(), path("b.xml")));
    ASSERT_TRUE(QDir(folder.path()).mkpath("frames"));
    const QString frame = path("frames/interpol0.png");
    ASSERT_TRUE(writeBytes(frame, old));
    script->openNames = QStringList{path("a.xml"), path("b.xml")};
    script->keyframeAnswer.folder = path("frames");
    script->keyframeAnswer.framesPerPair = 2;
    script->replaceAsked.clear();
    script->replaceAnswer = false;
    panel().actionKeyframing->trigger();
    EXPECT_EQ(script->replaceAsked, QStringList{frame});
    EXPECT_EQ(contents(frame), old);
}

TEST_F(NewcomerEdges, EachKindOfFileKeepsItsOwnLastFolder)
{
    ASSERT_TRUE(QDir(folder.path()).mkpath("bitmaps"));
    ASSERT_TRUE(QDir(folder.path()).mkpath("pictures"));
    addLine(0.0);
    loadBitmap(discBitmap("bitmaps/disc.png"));
    script->saveName = path("pictures/out.png");
    panel().actionSave_as_Png->trigger();
    EXPECT_EQ(script->folders.last(), "./") << "a picture is not offered the bitmaps' folder";
    panel().actionLoad_Bitmap->trigger();
    EXPECT_EQ(QDir(script->folders.last()), QDir(path("bitmaps")));
    panel().actionSave_as_Png->trigger();
    EXPECT_EQ(QDir(script->folders.last()), QDir(path("pictures")));
    ASSERT_TRUE(QDir(folder.path()).mkpath("drawings"));
    script->saveName = path("drawings/d.xml");
    panel().actionSave_as_XML->trigger();
    EXPECT_EQ(script->folders.last(), "./");
    // A kind never used yet starts beside the drawing; the others keep their own folder.
    script->saveName.clear();
    panel().actionExport_PDF->trigger();
    EXPECT_EQ(QDir(script->folders.last()), QDir(path("drawings")));
    panel().actionSave_as_Png->trigger();
    EXPECT_EQ(QDir(script->folders.last()), QDir(path("pictures")));
    panel().actionLoad_Bitmap->trigger();
    EXPECT_EQ(QDir(script->folders.last()), QDir(path("bitmaps")));
}

TEST_F(NewcomerEdges, ExportPdfWritesAVectorFileAndSaysSo)
{
    addLine(0.0);
    addLine(0.4, QColor(20, 40, 200), QColor(240, 200, 20));
    script->saveName = path("drawing.pdf");
    panel().actionExport_PDF->trigger();
    EXPECT_TRUE(contents(path("drawing.pdf")).startsWith("%PDF"));
    EXPECT_TRUE(outcome().startsWith("Exported drawing.pdf (")) << outcome().toStdString();
    EXPECT_TRUE(script->messages.isEmpty()) << script->messages.join("\n").toStdString();

    // A file that cannot be written: a clear message, no file.
    script->saveName = path("missing/drawing.pdf");
    panel().actionExport_PDF->trigger();
    ASSERT_EQ(script->messages.size(), 1);
    EXPECT_TRUE(script->messages.first().startsWith("Export PDF: Could not export the PDF to "
                                                    + path("missing/drawing.pdf")))
        << script->messages.first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("missing/drawing.pdf")));
}

// ---------------------------------------------------------------- blur edits, help, picking

TEST_F(NewcomerEdges, ABlurPointEditTurnsTheBlurOnSoThatItShows)
{
    const int line = addLine(0.0);
    ASSERT_FALSE(panel().checkBoxActivateBlur->isChecked());
    ASSERT_FALSE(viewer().solver().settings().blurEnabled);
    choose(panel().buttonModifAttrib);
    clickViewer(pixel(Point(0.0, 0.0)));
    ASSERT_EQ(doc().current_curve, line);
    viewer().settlePicture();
    QTest::qWait(30);
    const QImage sharp = viewer().grabFramebuffer();

    clickViewer(pixel(Point(-0.5, 0.0))); // the blur point at the curve's start
    ASSERT_TRUE(panel().isEditingBlur());
    EXPECT_TRUE(panel().checkBoxActivateBlur->isChecked());
    EXPECT_TRUE(viewer().solver().settings().blurEnabled);
    panel().sliderBlur->setFocus();
    QTest::keyClick(panel().sliderBlur, Qt::Key_End);
    QTest::keyClick(panel().sliderBlur, Qt::Key_Return);
    ASSERT_EQ(doc().curve(line).blur_values.first(), 16);
    viewer().settlePicture();
    QTest::qWait(30);
    const QImage blurred = viewer().grabFramebuffer();

    // Beside the blurred end the colour step is softened: the pixels there change.
    const QPoint end = pixel(Point(-0.45, 0.0));
    int changed = 0;
    for (int dy = -6; dy <= 6; ++dy) {
        const QColor a = sharp.pixelColor(end + QPoint(0, dy));
        const QColor b = blurred.pixelColor(end + QPoint(0, dy));
        if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) > 8)
            ++changed;
    }
    EXPECT_GE(changed, 4) << "the blur edit shows in the picture";
}

TEST_F(NewcomerEdges, HelpOpensFromThePanelMenuAndFromF1AndHInEitherWindow)
{
    HelpCommand& help = editor->commands.help;
    const std::pair<QAction*, const char*> pages[] = {{panel().actionKeys, "Keyboard"},
                                                      {panel().actionMouse, "Mouse"},
                                                      {panel().actionAbout, "About"},
                                                      {panel().actionHelp, "Help"}};
    for (const auto& [action, page] : pages) {
        action->trigger();
        ASSERT_NE(help.helpWindow(), nullptr);
        EXPECT_TRUE(help.helpWindow()->isVisible()) << page;
        EXPECT_EQ(help.helpWindow()->shownPage(), page);
    }
    help.helpWindow()->close();
    panel().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel()));
    QTest::keyClick(&panel(), Qt::Key_F1);
    EXPECT_TRUE(help.helpWindow()->isVisible()) << "F1 in the panel";
    help.helpWindow()->close();
    panel().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel()));
    QTest::keyClick(&panel(), Qt::Key_H);
    EXPECT_TRUE(help.helpWindow()->isVisible()) << "H in the panel";
    help.helpWindow()->close();

    // F1 in the viewer opens the help and shows the diffused picture, as it did before.
    help.helpWindow()->close();
    viewer().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer()));
    viewer().settings().display.mode = DisplayMode::GradientX;
    keyViewer(Qt::Key_F1);
    EXPECT_TRUE(help.helpWindow()->isVisible()) << "F1 in the viewer";
    EXPECT_EQ(viewer().settings().display.mode, DisplayMode::Picture);
    viewer().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer()));
    keyViewer(Qt::Key_H);
    EXPECT_FALSE(help.helpWindow()->isVisible()) << "H closes it";

    // Each tool has one name: its tooltip starts its status tip and names it on the help's
    // Mouse page.
    const QString mouse = help.helpWindow()->pageText("Mouse");
    for (QPushButton* tool : {panel().buttonDrawCatmull, panel().buttonMovePoint,
                              panel().buttonSelectMulti, panel().buttonModifAttrib,
                              panel().buttonPan, panel().buttonBucket, panel().buttonPicker}) {
        const QString name = tool->toolTip();
        EXPECT_TRUE(tool->statusTip().startsWith(name + ":")) << tool->statusTip().toStdString();
        EXPECT_TRUE(mouse.contains(" - " + name)) << name.toStdString();
    }
}

TEST_F(NewcomerEdges, AClickFourPixelsBesideACurvePicksItAtEveryZoom)
{
    const int line = addLine(0.0);
    choose(panel().buttonMovePoint);
    for (double zoom : {1.0, 4.0}) {
        View view;
        view.zoom = zoom;
        viewer().setView(view);
        for (int beside : {4, -4}) {
            doc().setCurrentCurve(-1);
            clickViewer(pixel(Point(0.05, 0.0)) + QPoint(0, beside));
            EXPECT_EQ(doc().current_curve, line) << "zoom " << zoom << ", " << beside << " px";
        }
        doc().setCurrentCurve(-1);
        clickViewer(pixel(Point(0.05, 0.0)) + QPoint(0, 9));
        EXPECT_EQ(doc().current_curve, -1) << "9 px beside is not on the curve, zoom " << zoom;
    }
}

// ---------------------------------------------------------------- a dense drawing

TEST_F(NewcomerEdges, ATracedPhotoShowsItsPictureWithTheLinesOfTheSelectedAndHoveredCurves)
{
    ASSERT_TRUE(makeBusyPicture(512, 700).save(path("photo.png")));
    script->openName = path("photo.png");
    script->traceDetail = 1.0;
    script->traceSensitivity = 0.9;
    traceAction()->trigger();
    std::cout << "Traced " << doc().nb_curves << " curves\n";
    ASSERT_GT(doc().nb_curves, kDenseDrawingCurves);
    choose(panel().buttonMovePoint);
    // A pixel with no curve within a click's reach, for the pointer to rest on.
    QPoint empty(-1, -1);
    for (int y = 20; y < 500 && empty.x() < 0; y += 7)
        for (int x = 20; x < 500 && empty.x() < 0; x += 7)
            if (curveUnder(viewer(), QPoint(x, y)) < 0)
                empty = QPoint(x, y);
    ASSERT_GE(empty.x(), 0);
    hoverViewer(empty);
    ASSERT_EQ(viewer().hoveredCurve(), -1);
    const auto frame = [&] {
        viewer().settlePicture();
        QTest::qWait(40);
        return viewer().grabFramebuffer();
    };
    const auto withSplines = [&](bool shown) {
        panel().checkBoxShowSplines->setChecked(shown);
        return frame();
    };
    const QImage bare = withSplines(false);
    // The default overlay of a dense drawing draws no line of its own: the picture shows.
    const QImage shown = withSplines(true);
    EXPECT_EQ(differenceOf(bare, shown).pixels, 0);
    keepScreenshot(shown, "traced_photo_default_overlay");

    // A selected curve: its line and handles, near it and nowhere else.
    const auto middleOf = [](const Curve& c) {
        std::vector<Point> samples;
        c.forEachSample([&](const CurveSample& sample) { samples.push_back(sample.point); });
        return samples[samples.size() / 2];
    };
    int longest = 0;
    for (int i = 1; i < doc().nb_curves; ++i)
        if (doc().curve(i).bbox_max.x - doc().curve(i).bbox_min.x
            > doc().curve(longest).bbox_max.x - doc().curve(longest).bbox_min.x)
            longest = i;
    clickViewer(pixel(middleOf(doc().curve(longest))));
    const int chosen = doc().current_curve; // the curve there, or one drawn over it
    ASSERT_GE(chosen, 0);
    const Curve& curve = doc().curve(chosen);
    const QImage selected = frame();
    keepScreenshot(selected, "traced_photo_one_curve_selected");
    const QRect near =
        QRect(pixel(curve.bbox_min), pixel(curve.bbox_max)).normalized().adjusted(-24, -24, 24, 24);
    const Difference drawn = differenceOf(bare, selected);
    EXPECT_GT(drawn.pixels, 50);
    EXPECT_TRUE(near.contains(drawn.box)) << "drawn outside the selected curve";

    // The curve under the pointer shows its line too, and only while it is there.
    doc().setCurrentCurve(-1);
    hoverViewer(pixel(middleOf(curve)));
    EXPECT_GE(viewer().hoveredCurve(), 0);
    EXPECT_GT(differenceOf(bare, frame()).pixels, 0);
    hoverViewer(empty);
    EXPECT_EQ(viewer().hoveredCurve(), -1);
    EXPECT_EQ(differenceOf(bare, frame()).pixels, 0);

    // "All lines": the line drawing the newcomer met.
    panel().comboSplineLines->setCurrentIndex(int(PanelLines::All));
    EXPECT_GT(differenceOf(bare, frame()).pixels, 20 * drawn.pixels);
    panel().comboSplineLines->setCurrentIndex(int(PanelLines::Auto));

    // The Help menu, for the notes.
    panel().menu_Help->popup(panel().mapToGlobal(QPoint(0, panel().menubar->height())));
    QTest::qWait(100);
    EXPECT_TRUE(panel().menu_Help->isVisible());
    const QRect around = panel().frameGeometry().united(panel().menu_Help->geometry());
    keepScreenshot(QGuiApplication::primaryScreen()
                       ->grabWindow(0, around.x(), around.y(), around.width(), around.height())
                       .toImage(),
                   "panel_help_menu");
    panel().menu_Help->close();
}

} // namespace
