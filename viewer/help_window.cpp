#include "help_window.h"

#include "help_texts.h"

#include <QShortcut>
#include <QTextBrowser>

namespace {

QTextBrowser* page(const QString& text, QWidget* parent)
{
    auto* browser = new QTextBrowser(parent);
    browser->setOpenExternalLinks(true);
    browser->setHtml(text);
    return browser;
}

} // namespace

HelpWindow::HelpWindow(QWidget* owner) : QTabWidget(owner)
{
    setWindowFlags(Qt::Window);
    setWindowTitle("Tintweave help");
    addTab(page(helpPageText(), this), "Help");
    addTab(page(keyboardPageText(), this), "Keyboard");
    addTab(page(mousePageText(), this), "Mouse");
    addTab(page(aboutPageText(), this), "About");
    resize(600, 480);
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_H)}) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
}

void HelpWindow::showPage(const QString& title)
{
    int index = 0;
    for (int i = 0; i < count(); ++i) {
        if (tabText(i) == title)
            index = i;
    }
    setCurrentIndex(index);
}

QString HelpWindow::pageText(const QString& title) const
{
    for (int i = 0; i < count(); ++i) {
        if (tabText(i) == title)
            return static_cast<const QTextBrowser*>(widget(i))->toPlainText();
    }
    return QString();
}
