#pragma once

// The source tree's shader files, for tests that run the programs on a copy of them (a file
// removed, emptied or replaced by a FIFO).
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>

// The source tree's shaders/ folder.
inline QString sourceShaderDirectory()
{
    return QString::fromUtf8(TINTWEAVE_SOURCE_DIR) + QStringLiteral("/shaders");
}

// Copies every file under the source tree's shaders/, folders included, into `to` (created
// when missing). False when a file could not be copied.
inline bool copyShaderTree(const QString& to)
{
    const QDir source(sourceShaderDirectory());
    QDirIterator files(source.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString relative = source.relativeFilePath(files.next());
        const QString target = to + QLatin1Char('/') + relative;
        if (!QDir().mkpath(QFileInfo(target).path())
            || !QFile::copy(source.filePath(relative), target))
            return false;
    }
    return true;
}
