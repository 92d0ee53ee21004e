#pragma once

#include <QObject>

class HelpWindow;
class Viewer;

// The help window of a viewer: the viewer's H key opens it, or closes it when it is open; F1
// opens it (and, as before, shows the diffused picture); the panel's Help menu opens a page.
class HelpCommand : public QObject {
    Q_OBJECT

public:
    // Answers the help requests of `viewer`, which must outlive this object.
    explicit HelpCommand(Viewer& viewer);

    // The help window, once opened; null before. A child of the viewer.
    HelpWindow* helpWindow() const { return helpPages; }

public Q_SLOTS:
    // Opens the help window on its first page, or closes it when it is open.
    void help();
    // Opens the help window (if closed) on the page titled `page` and raises it.
    void showPage(const QString& page);

private:
    Viewer& viewer;
    HelpWindow* helpPages = nullptr;
};
