#pragma once

#include <QObject>

class HelpWindow;
class Viewer;

// The help window of a viewer: the viewer's H key opens it, or closes it when it is open.
class HelpCommand : public QObject {
    Q_OBJECT

public:
    // Answers the help requests of `viewer`, which must outlive this object.
    explicit HelpCommand(Viewer& viewer);

    // The help window, once opened; null before. A child of the viewer.
    HelpWindow* helpWindow() const { return helpPages; }

public Q_SLOTS:
    void help();

private:
    Viewer& viewer;
    HelpWindow* helpPages = nullptr;
};
