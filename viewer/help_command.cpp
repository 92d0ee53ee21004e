#include "help_command.h"

#include "help_window.h"
#include "viewer.h"
#include "viewer_settings.h"

#include <QKeyEvent>
#include <QPointer>

HelpCommand::HelpCommand(Viewer& shown) : viewer(shown)
{
    // H alone opens or closes the help window; F1, the usual help key, opens it, and still
    // shows the diffused picture as it did before.
    QPointer<HelpCommand> self(this);
    viewer.addKeyHandler([self](const QKeyEvent& event) {
        if (self == nullptr || event.modifiers() != Qt::NoModifier)
            return false;
        if (event.key() == Qt::Key_H) {
            self->help();
            return true;
        }
        if (event.key() == Qt::Key_F1) {
            self->viewer.settings().display.mode = DisplayMode::Picture;
            self->viewer.requestRepaint();
            self->showPage("Help");
            return true;
        }
        return false;
    });
}

void HelpCommand::showPage(const QString& page)
{
    if (helpPages == nullptr)
        helpPages = new HelpWindow(&viewer);
    helpPages->showPage(page);
    helpPages->show();
    helpPages->raise();
    helpPages->activateWindow();
}

void HelpCommand::help()
{
    if (helpPages != nullptr && helpPages->isVisible()) {
        helpPages->close();
        return;
    }
    if (helpPages == nullptr)
        helpPages = new HelpWindow(&viewer);
    helpPages->show();
    helpPages->raise();
    helpPages->activateWindow();
}
