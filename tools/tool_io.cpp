#include "tool_io.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

const QString kStandardStream = QStringLiteral("-");

QString outputProblem(const QString& path, bool folder)
{
    const QFileInfo output(path);
    if (!output.exists())
        return QString();
    if (folder)
        return output.isDir() ? QString() : QStringLiteral("not a folder");
    if (output.isDir())
        return QStringLiteral("it is a folder");
    return output.isFile() ? QString() : QStringLiteral("not a regular file");
}

bool copyStandardInput(QTemporaryFile* copy, qint64 limit)
{
    if (copy->isOpen())
        return true;
    QFile input;
    return input.open(stdin, QIODevice::ReadOnly) && copy->open()
           && copy->write(input.read(limit)) >= 0 && copy->flush();
}

bool writeStandardOutput(const QByteArray& bytes, QString* why)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
        || std::fflush(stdout) != 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}
