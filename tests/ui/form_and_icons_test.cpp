// The window's fixed form and the tool icons, including icons that are missing or unreadable.
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTemporaryDir>

#include "panel_fixture.h"
#include "tool_icons.h"

namespace {

TEST_F(PanelTest, WindowAndMenus)
{
    EXPECT_EQ(panel->windowTitle(), "MainWindow");
    EXPECT_EQ(panel->objectName(), "MainWindow");
    // 253 x 512, grown where the menu bar and the status bar need it: no control is hidden.
    EXPECT_EQ(panel->width(), 253);
    EXPECT_GE(panel->height(), 512);
    for (QWidget* control : panel->centralwidget->findChildren<QWidget*>()) {
        const QRect inWindow(control->mapTo(panel.get(), QPoint(0, 0)), control->size());
        EXPECT_LE(inWindow.bottom(), panel->statusbar->geometry().top())
            << control->objectName().toStdString();
    }

    const auto menus = panel->menubar->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus.at(0)->text(), "&File");
    EXPECT_EQ(menus.at(1)->text(), "&Edit");
    EXPECT_EQ(menus.at(2)->text(), "&Help");
    // Entries by object name: a submenu by its menu's, a separator as "-".
    const auto names = [](QMenu* menu) {
        QStringList list;
        for (QAction* a : menu->actions())
            list << (a->isSeparator() ? QString("-")
                     : a->menu()      ? a->menu()->objectName()
                                      : a->objectName());
        return list;
    };
    EXPECT_EQ(names(panel->menu_File),
              (QStringList{"actionNew", "actionLoad", "menuOpen_Recent", "actionSave",
                           "actionSave_as_XML", "-", "actionSave_as_Png", "actionExport_PDF",
                           "actionPng_16_Bits", "actionKeyframing", "actionLoad_Bitmap", "-",
                           "actionDrawing_Settings", "-", "actionQuit"}));
    // One entry per command: no two entries carry the same text.
    QStringList texts;
    for (QAction* a : panel->menu_File->actions())
        if (!a->isSeparator())
            texts << a->text().remove('&');
    EXPECT_EQ(texts.removeDuplicates(), 0) << texts.join(", ").toStdString();
    EXPECT_EQ(names(panel->menu_Help),
              (QStringList{"actionHelp", "actionKeys", "actionMouse", "-", "actionAbout"}));
    EXPECT_EQ(names(panel->menu_Edit),
              (QStringList{"actionUndo", "actionRedo", "-", "action_Copy", "action_Paste",
                           "action_Cut", "action_Copy_Blur", "action_Paste_Blur", "actionDelete",
                           "-", "actionSelect_All", "actionDeselect"}));
    EXPECT_EQ(panel->actionLoad_Bitmap->iconText(), "Load a bitmap");
    EXPECT_EQ(panel->action_Copy_Blur->text(), "Copy blur (Ctrl+D)");
}

QString sourceIcon(const ToolIcon& tool)
{
    return QStringLiteral(TINTWEAVE_SOURCE_DIR "/icons/") + QString::fromLatin1(tool.fileName);
}

// A real picture: opaque pixels in several colours, not an empty or single-colour square.
TEST(ToolIcons, EveryFileExistsAndIsALegiblePicture)
{
    QSet<QString> names;
    for (const ToolIcon& tool : toolIcons()) {
        SCOPED_TRACE(tool.fileName);
        names << tool.fileName;
        QImage image(sourceIcon(tool));
        ASSERT_FALSE(image.isNull());
        EXPECT_GE(image.width(), 24);
        EXPECT_GE(image.height(), 24);
        QSet<QRgb> opaqueColours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 255)
                    opaqueColours << image.pixel(x, y);
        EXPECT_GE(opaqueColours.size(), 3);
        EXPECT_TRUE(QFile::exists(QStringLiteral(TINTWEAVE_SOURCE_DIR "/icons/src/")
                                  + QString(tool.fileName).replace(".png", ".svg")));
    }
    EXPECT_EQ(names.size(), 16);
}

TEST_F(PanelTest, EveryToolButtonShowsItsIconAtThirtyPixels)
{
    QStringList withIcons;
    for (const ToolIcon& tool : toolIcons())
        withIcons << tool.buttonName;
    for (QPushButton* button : panel->manipMode->findChildren<QPushButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        if (button == panel->buttonBucketColor) {
            EXPECT_FALSE(withIcons.contains(button->objectName()));
            continue;
        }
        EXPECT_TRUE(withIcons.contains(button->objectName()));
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_TRUE(button->text().isEmpty());
        EXPECT_EQ(button->iconSize(), QSize(30, 30));
    }
}

TEST(IconLookup, FirstDirectoryHoldingAReadableFileWins)
{
    QTemporaryDir first, second;
    const QString source = sourceIcon(toolIcons().front());
    ASSERT_TRUE(QFile::copy(source, second.filePath("drawCatmull.png")));
    EXPECT_EQ(findIconFile("drawCatmull.png", {first.path(), second.path()}),
              second.filePath("drawCatmull.png"));
    ASSERT_TRUE(QFile::copy(source, first.filePath("drawCatmull.png")));
    EXPECT_EQ(findIconFile("drawCatmull.png", {first.path(), second.path()}),
              first.filePath("drawCatmull.png"));

    // A file that is not an image is passed over.
    QFile junk(first.filePath("magnet.png"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    EXPECT_TRUE(findIconFile("magnet.png", {first.path()}).isEmpty());
}

QStringList gWarnings;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        gWarnings << message;
}

// Without icons the panel still works: one warning, text on the buttons, the same signals.
TEST_F(PanelTest, MissingIconsGiveOneWarningAndTextButtons)
{
    QTemporaryDir empty;
    gWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    const QStringList missing = installToolIcons(panel->manipMode, {empty.path()});
    qInstallMessageHandler(previous);

    EXPECT_EQ(missing.size(), 16);
    ASSERT_EQ(gWarnings.size(), 1);
    EXPECT_TRUE(gWarnings.at(0).contains("drawCatmull.png"));
    EXPECT_TRUE(gWarnings.at(0).contains(empty.path()));
    EXPECT_TRUE(panel->buttonDrawCatmull->icon().isNull());
    EXPECT_FALSE(panel->buttonDrawCatmull->text().isEmpty());
    EXPECT_FALSE(panel->buttonZoomIn->text().isEmpty());

    SignalLog log(*panel);
    click(panel->buttonDrawCatmull);
    EXPECT_EQ(log.lines, (QStringList{"attrib false", "mode 4"}));
}

TEST(IconLookup, PanelStartedElsewhereStillFindsItsIcons)
{
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    gWarnings.clear();
    const QtMessageHandler handler = qInstallMessageHandler(collectWarnings);
    {
        Interface panel;
        EXPECT_FALSE(panel.buttonPan->icon().isNull());
        EXPECT_FALSE(panel.buttonSmooth->icon().isNull());
    }
    qInstallMessageHandler(handler);
    QDir::setCurrent(previous);
    EXPECT_TRUE(gWarnings.isEmpty()) << gWarnings.join("\n").toStdString();
}

} // namespace
