#include "file_access.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString readErrorText(int error)
{
    switch (error) {
    case ENOENT: return QStringLiteral("no such file");
    case EACCES:
    case EPERM: return QStringLiteral("permission denied");
    case ENOTDIR: return QStringLiteral("a part of the path is not a folder");
    case ENAMETOOLONG: return QStringLiteral("the name is too long");
    default: return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString kindProblem(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("not a regular file (a FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("not a regular file (a device)");
    return QStringLiteral("not a regular file");
}

} // namespace

bool openRegularFile(QFile& file, const QString& path, QString& reason, bool text)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    // Looked at before opening: opening some devices has effects of its own.
    if (::stat(name.constData(), &info) != 0) {
        reason = readErrorText(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = kindProblem(info.st_mode);
        return false;
    }
    // O_NONBLOCK: should the name have been replaced by a FIFO since, the open returns at once;
    // the fstat below then refuses it.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = readErrorText(errno);
        return false;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = kindProblem(info.st_mode);
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QIODevice::OpenMode mode = QIODevice::ReadOnly;
    if (text)
        mode |= QIODevice::Text;
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        reason = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

QString writeErrorText(int error, const QString& path, const QString& fallback)
{
    switch (error) {
    case 0: return fallback.isEmpty() ? QStringLiteral("the file could not be written") : fallback;
    case ENOSPC: return QStringLiteral("the disk is full");
    case EDQUOT: return QStringLiteral("the disk quota is used up");
    case EFBIG: return QStringLiteral("the file is larger than the file size limit allows");
    case EACCES:
    case EPERM: return QStringLiteral("permission denied");
    case EROFS: return QStringLiteral("the file system is read-only");
    case EISDIR: return QStringLiteral("it is a folder");
    case ENOTDIR: return QStringLiteral("a part of the path is not a folder");
    case ENAMETOOLONG: return QStringLiteral("the name is too long");
    case ENOENT:
        return QStringLiteral("the folder %1 does not exist").arg(QFileInfo(path).absolutePath());
    default: return QString::fromLocal8Bit(std::strerror(error));
    }
}
