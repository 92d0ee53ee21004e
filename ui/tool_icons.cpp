#include "tool_icons.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QPushButton>
#include <QtDebug>

const std::vector<ToolIcon>& toolIcons()
{
    static const std::vector<ToolIcon> icons = {
        {"buttonDrawCatmull", "drawCatmull.png", "Draw"},
        {"buttonSnake", "magnet.png", "Snap"},
        {"buttonMovePoint", "movePoint.png", "Move"},
        {"buttonSelectMulti", "selectMulti.png", "Multi"},
        {"buttonModifAttrib", "modifAttrib.png", "Color"},
        {"buttonSwitchColors", "switch_clr.png", "Swap"},
        {"buttonSampleExample", "sample.png", "Read"},
        {"buttonPicker", "picker.png", "Pick"},
        {"buttonBucket", "bucket.png", "Fill"},
        {"buttonContrastIncr", "contrast_incr.png", "C+"},
        {"buttonContrastDecr", "contrast_decr.png", "C-"},
        {"buttonStylize", "stylize.png", "Style"},
        {"buttonSmooth", "droplet.png", "Soft"},
        {"buttonZoomIn", "zoomIn.png", "Z+"},
        {"buttonZoomOut", "zoomOut.png", "Z-"},
        {"buttonPan", "handPan.png", "Pan"},
    };
    return icons;
}

QStringList defaultIconDirs()
{
    QStringList dirs{QDir::current().absoluteFilePath("icons")};
    if (QCoreApplication::instance()) {
        const QDir exeDir(QCoreApplication::applicationDirPath());
        dirs << exeDir.absoluteFilePath("icons");
#ifdef TINTWEAVE_DATA_FROM_BIN
        dirs << QDir::cleanPath(exeDir.absoluteFilePath(TINTWEAVE_DATA_FROM_BIN "/icons"));
#endif
    }
#ifdef TINTWEAVE_ICON_DIR
    dirs << QStringLiteral(TINTWEAVE_ICON_DIR);
#endif
    dirs.removeDuplicates();
    return dirs;
}

QString findIconFile(const QString& fileName, const QStringList& dirs)
{
    for (const QString& dir : dirs) {
        const QFileInfo file(QDir(dir), fileName);
        // canRead() checks the header, so a file with another content is skipped too.
        if (file.isFile() && QImageReader(file.absoluteFilePath()).canRead())
            return file.absoluteFilePath();
    }
    return QString();
}

QStringList installToolIcons(QWidget* root, const QStringList& dirs)
{
    QStringList missing;
    for (const ToolIcon& tool : toolIcons()) {
        auto* button = root->findChild<QPushButton*>(QString::fromLatin1(tool.buttonName));
        if (!button)
            continue;
        const QString path = findIconFile(QString::fromLatin1(tool.fileName), dirs);
        const QPixmap picture = path.isEmpty() ? QPixmap() : QPixmap(path);
        if (picture.isNull()) {
            button->setIcon(QIcon());
            button->setText(QString::fromLatin1(tool.fallbackText));
            missing << QString::fromLatin1(tool.fileName);
        } else {
            button->setIcon(QIcon(picture));
        }
    }
    if (!missing.isEmpty())
        qWarning().noquote() << "Missing or unreadable button icons" << missing.join(", ")
                             << "(searched"
                             << dirs.join(", ") + "); their buttons show text instead.";
    return missing;
}
