#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

#include <memory>
#include <vector>

class CurveSet;
class QLockFile;

// The recovery copy of one running editor: the drawing as CurveSetXML in `<id>.xml` and the
// drawing's own file name in `<id>.origin`, both in one folder shared by every editor of the
// user. The editor holds `<id>.lock` while it runs, so that another editor never takes its copy
// for one left behind; a copy whose lock is free was left by an editor that did not end
// normally. Files are written through a temporary file renamed into place: a write that fails
// or is cut short leaves the previous copy whole.
class RecoveryCopy {
public:
    // The user's recovery folder: "recovery" in the application data location.
    static QString defaultFolder();

    explicit RecoveryCopy(const QString& folder = defaultFolder());
    // Leaves the copy in place (an editor that ends normally removes it first).
    ~RecoveryCopy();
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    // Writes `set` with `originalPath`, the drawing's file (empty for none). The first write
    // takes the lock. False, with the cause in `why`, when nothing new was written.
    bool write(const CurveSet& set, const QString& originalPath, QString* why = nullptr);
    // Removes the copy; the lock stays with this editor.
    void remove();
    const QString& folder() const { return place; }
    QString copyPath() const;

private:
    bool takeLock(QString* why);

    QString place;
    QString id;
    std::unique_ptr<QLockFile> lock;
};

// A copy left by an editor that did not end normally, held (locked) by this editor from
// leftRecoveryCopies until it is recovered, discarded or let go.
class LeftCopy {
public:
    LeftCopy(const QString& copyPath, std::unique_ptr<QLockFile> lock);
    LeftCopy(LeftCopy&&) noexcept;
    LeftCopy& operator=(LeftCopy&&) noexcept;
    // Lets the copy go: it stays for a later start.
    ~LeftCopy();

    const QString& copyPath() const { return path; }
    // The drawing's own file when the copy was written; empty for a drawing never saved.
    QString originalPath() const;
    QDateTime writtenAt() const;
    // Deletes the copy, its origin and its lock.
    void discard();

private:
    QString path;
    std::unique_ptr<QLockFile> lock;
};

// The copies in `folder` whose editor is gone, newest first, each locked by this process.
std::vector<LeftCopy> leftRecoveryCopies(const QString& folder = RecoveryCopy::defaultFolder());
