#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

// One tool button of the control panel and the picture it shows.
struct ToolIcon {
    const char* buttonName;   // object name of the push button in the form
    const char* fileName;     // file name inside an icons/ directory
    const char* fallbackText; // short label shown instead when the file cannot be loaded
};

// Every tool button that carries an icon file (buttonBucketColor shows a colour swatch instead).
const std::vector<ToolIcon>& toolIcons();

// Directories searched for icon files, in order: icons/ in the working directory (where the
// program expects it), icons/ beside the executable, the installed icons
// (<exe dir>/../share/tintweave/icons in the usual layout), then the source tree's icons/.
QStringList defaultIconDirs();

// Absolute path of the first readable image called fileName in dirs, or an empty string.
QString findIconFile(const QString& fileName, const QStringList& dirs);

// Gives every tool button below root its icon, looked up in dirs. A button whose file is missing
// or unreadable keeps working and shows its fallback text instead; the names of those files are
// returned, and reported in one warning on stderr. Buttons absent from root are skipped.
QStringList installToolIcons(QWidget* root, const QStringList& dirs);
