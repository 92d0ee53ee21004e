#include "help_command.h"

#include "help_window.h"
#include "viewer.h"

#include <QKeyEvent>
#include <QPointer>

HelpCommand::HelpCommand(Viewer& shown) : viewer(shown)
{
    // H alone opens or closes the help window.
    QPointer<HelpCommand> self(this);
    viewer.addKeyHandler([self](const QKeyEvent& event) {
        if (self == nullptr || event.key() != Qt::Key_H || event.modifiers() != Qt::NoModifier)
            return false;
        self->help();
        return true;
    });
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
