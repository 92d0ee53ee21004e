// The panel's entries for the document: File > New, Open, Open Recent, Save, Save As and Quit,
// Edit > Undo, Redo and Delete, their keys, and what the panel shows of the history and the
// recent files.
#include <QMenu>
#include <QSignalSpy>

#include "panel_fixture.h"

namespace {

TEST_F(PanelTest, DocumentEntriesCarryTheDesktopKeys)
{
    EXPECT_EQ(panel->actionNew->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(panel->actionLoad->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(panel->actionSave->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(panel->actionSave_as_XML->shortcut(), QKeySequence("Ctrl+Shift+S"));
    EXPECT_EQ(panel->actionQuit->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(panel->actionUndo->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(panel->actionRedo->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
    EXPECT_EQ(panel->actionDelete->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(panel->actionSelect_All->shortcut(), QKeySequence("Ctrl+A"));
    EXPECT_EQ(panel->actionDeselect->shortcut(), QKeySequence("Ctrl+Shift+A"));
    EXPECT_TRUE(panel->menu_Edit->actions().contains(panel->actionSelect_All));
    EXPECT_TRUE(panel->menu_Edit->actions().contains(panel->actionDeselect));
    // The clipboard entries keep their labels, which name their keys.
    EXPECT_EQ(panel->action_Copy->text(), "&Copy (Ctrl+C)");
    EXPECT_TRUE(panel->action_Copy->shortcut().isEmpty());
}

TEST_F(PanelTest, UndoAndRedoEntriesNameTheStepOrAreGreyed)
{
    EXPECT_FALSE(panel->actionUndo->isEnabled());
    EXPECT_EQ(panel->actionUndo->text(), "&Undo");
    EXPECT_FALSE(panel->actionRedo->isEnabled());
    panel->setUndoText("Stroke");
    panel->setRedoText("Move Curve");
    EXPECT_TRUE(panel->actionUndo->isEnabled());
    EXPECT_EQ(panel->actionUndo->text(), "&Undo Stroke");
    EXPECT_TRUE(panel->actionRedo->isEnabled());
    EXPECT_EQ(panel->actionRedo->text(), "&Redo Move Curve");
    panel->setUndoText(QString());
    EXPECT_FALSE(panel->actionUndo->isEnabled());
    EXPECT_EQ(panel->actionUndo->text(), "&Undo");
}

TEST_F(PanelTest, OpenRecentListsTheFilesAndReportsTheChoice)
{
    EXPECT_FALSE(panel->menuOpen_Recent->isEnabled());
    EXPECT_TRUE(panel->menuOpen_Recent->actions().isEmpty());

    panel->setRecentFiles({"/drawings/b.xml", "/other/a.xml"});
    ASSERT_TRUE(panel->menuOpen_Recent->isEnabled());
    const QList<QAction*> entries = panel->menuOpen_Recent->actions();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0]->text(), "b.xml");
    EXPECT_EQ(entries[0]->data().toString(), "/drawings/b.xml");
    EXPECT_EQ(entries[1]->toolTip(), "/other/a.xml");

    QSignalSpy chosen(panel.get(), &Interface::recentFileChosen);
    entries[1]->trigger();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), "/other/a.xml");

    // A new list replaces the old one.
    panel->setRecentFiles({"/drawings/c.xml"});
    ASSERT_EQ(panel->menuOpen_Recent->actions().size(), 1);
    EXPECT_EQ(panel->menuOpen_Recent->actions()[0]->data().toString(), "/drawings/c.xml");
    panel->setRecentFiles({});
    EXPECT_FALSE(panel->menuOpen_Recent->isEnabled());
}

} // namespace
