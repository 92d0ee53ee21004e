#pragma once

#include <QTabWidget>

// The viewer's help: a window of its own with the pages "Help", "Keyboard", "Mouse" and
// "About" (help_texts.h). Escape or H closes it.
class HelpWindow : public QTabWidget {
    Q_OBJECT

public:
    // A top-level window that `owner` keeps (and deletes with itself).
    explicit HelpWindow(QWidget* owner);

    // Shows the page titled `title` (the first page for no such title).
    void showPage(const QString& title);
    // The title of the page shown.
    QString shownPage() const { return tabText(currentIndex()); }
    // The text (without markup) of the page titled `title`; empty for no such page.
    QString pageText(const QString& title) const;
};
