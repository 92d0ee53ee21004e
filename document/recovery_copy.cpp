#include "recovery_copy.h"

#include "curve_set_xml.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString withSuffix(const QString& copyPath, const char* suffix)
{
    return copyPath.left(copyPath.size() - int(qstrlen(".xml"))) + suffix;
}

// A lock that is stale only when its process is gone, however old it is.
std::unique_ptr<QLockFile> lockFor(const QString& copyPath)
{
    auto lock = std::make_unique<QLockFile>(withSuffix(copyPath, ".lock"));
    lock->setStaleLockTime(0);
    return lock;
}

bool writeWhole(const QString& path, const QByteArray& bytes, QString* why)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (why != nullptr)
        *why = file.errorString();
    return false;
}

} // namespace

QString RecoveryCopy::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/recovery";
}

RecoveryCopy::RecoveryCopy(const QString& folder) : place(folder)
{
    // Unique among running editors (process id) and within one process (count), and not taken
    // again by a later process given the same id (start time).
    static int made = 0;
    id = QString("%1-%2-%3")
             .arg(QCoreApplication::applicationPid())
             .arg(QDateTime::currentMSecsSinceEpoch())
             .arg(made++);
}

RecoveryCopy::~RecoveryCopy() = default;

QString RecoveryCopy::copyPath() const { return place + "/" + id + ".xml"; }

bool RecoveryCopy::takeLock(QString* why)
{
    if (lock)
        return true;
    if (!QDir().mkpath(place)) {
        if (why != nullptr)
            *why = "cannot create the folder " + place;
        return false;
    }
    auto taken = lockFor(copyPath());
    if (!taken->tryLock(0)) {
        if (why != nullptr)
            *why = "cannot lock " + withSuffix(copyPath(), ".lock");
        return false;
    }
    lock = std::move(taken);
    return true;
}

bool RecoveryCopy::write(const CurveSet& set, const QString& originalPath, QString* why)
{
    if (!takeLock(why))
        return false;
    // The origin first: a copy never names the file of a later drawing.
    return writeWhole(withSuffix(copyPath(), ".origin"), originalPath.toUtf8(), why)
           && writeWhole(copyPath(), writeCurveSetXml(set), why);
}

void RecoveryCopy::remove()
{
    QFile::remove(copyPath());
    QFile::remove(withSuffix(copyPath(), ".origin"));
}

LeftCopy::LeftCopy(const QString& copyPath, std::unique_ptr<QLockFile> lock)
    : path(copyPath), lock(std::move(lock))
{
}

LeftCopy::LeftCopy(LeftCopy&&) noexcept = default;
LeftCopy& LeftCopy::operator=(LeftCopy&&) noexcept = default;
LeftCopy::~LeftCopy() = default;

QString LeftCopy::originalPath() const
{
    QFile file(withSuffix(path, ".origin"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QDateTime LeftCopy::writtenAt() const { return QFileInfo(path).lastModified(); }

void LeftCopy::discard()
{
    // The copy, its origin and any temporary file a write cut short left beside them.
    const QFileInfo copy(path);
    const QString id = copy.completeBaseName();
    for (const QString& name : copy.dir().entryList({id + ".*"}, QDir::Files))
        if (!name.endsWith(".lock"))
            copy.dir().remove(name);
    lock.reset(); // unlocking removes the lock file
}

std::vector<LeftCopy> leftRecoveryCopies(const QString& folder)
{
    std::vector<LeftCopy> left;
    const QFileInfoList copies =
        QDir(folder).entryInfoList({"*.xml"}, QDir::Files, QDir::Time); // newest first
    for (const QFileInfo& copy : copies) {
        auto lock = lockFor(copy.absoluteFilePath());
        // A lock held by a running editor stays; one whose process is gone is taken over.
        if (lock->tryLock(0))
            left.push_back(LeftCopy(copy.absoluteFilePath(), std::move(lock)));
    }
    return left;
}
