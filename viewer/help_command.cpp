#include "help_command.h"

#include "help_window.h"
#include "viewer.h"

HelpCommand::HelpCommand(Viewer& shown) : viewer(shown)
{
    connect(&viewer, &Viewer::helpRequested, this, &HelpCommand::help);
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
