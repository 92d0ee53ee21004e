// Where the editor's windows open: side by side at first start, then where the user left them,
// unless that place has left every screen. Each block is one run of the editor.

#include "test_viewer_core_support.h"

#include "editor.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace {

class WindowPlacement : public ::testing::Test {
protected:
    void SetUp() override { QSettings().remove("windows"); }
    void TearDown() override { QSettings().remove("windows"); }

    static QRect screenArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    static void expectSideBySide(Editor& editor)
    {
        const QRect panel = editor.panel.frameGeometry();
        const QRect viewer = editor.viewer.frameGeometry();
        EXPECT_FALSE(panel.intersects(viewer));
        EXPECT_LT(panel.right(), viewer.left()) << "the panel stands to the left";
        EXPECT_TRUE(screenArea().contains(panel));
        EXPECT_TRUE(screenArea().contains(viewer));
    }
};

TEST_F(WindowPlacement, FirstStartSideBySideThenWhereTheUserLeftThem)
{
    const QPoint panelPlace(30, 40), viewerPlace(420, 70);
    QSize panelSize;
    {
        Editor editor;
        editor.show();
        ASSERT_TRUE(showAndInitialise(editor.viewer));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor.panel));
        expectSideBySide(editor);
        // Larger than the panel's least size (its controls and the layers list).
        panelSize = editor.panel.size() + QSize(17, 28);

        editor.panel.move(panelPlace);
        editor.panel.resize(panelSize);
        editor.viewer.move(viewerPlace);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return editor.panel.pos() == panelPlace && editor.viewer.pos() == viewerPlace;
        }));
        ASSERT_TRUE(editor.viewer.close());
    }
    {
        Editor editor;
        editor.show();
        ASSERT_TRUE(showAndInitialise(editor.viewer));
        EXPECT_EQ(editor.panel.pos(), panelPlace);
        EXPECT_EQ(editor.panel.size(), panelSize);
        EXPECT_EQ(editor.viewer.pos(), viewerPlace);
        EXPECT_EQ(editor.viewer.size(), QSize(512, 512)) << "the viewer's size follows the drawing";
    }
}

// A place remembered on a screen that has since gone is ignored: the pair stands side by side.
TEST_F(WindowPlacement, PlaceOffEveryScreenIsIgnored)
{
    QSettings settings;
    settings.setValue("windows/panel", QRect(QPoint(40, 40), QSize(253, 512)));
    settings.setValue("windows/viewer", screenArea().bottomRight() + QPoint(200, 0));
    settings.sync();
    Editor editor;
    editor.show();
    ASSERT_TRUE(showAndInitialise(editor.viewer));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor.panel));
    expectSideBySide(editor);
}

} // namespace
