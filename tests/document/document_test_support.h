#pragma once

// Shared by the document's tests: an application object for timers and the event loop, a
// scripted answerer of the document's questions, and drawings of a few segments.

#include "document.h"
#include "test_curve_set_helpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <functional>
#include <utility>
#include <vector>

namespace doc_test {

// The one QCoreApplication of the test process, made on first use, with its settings (recent
// files) and data folder in a folder that goes with the run.
inline void needCoreApplication()
{
    static int argc = 1;
    static char name[] = "document_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() != nullptr)
        return;
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    new QCoreApplication(argc, argv); // lives for the whole run
    QCoreApplication::setOrganizationName("TintweaveTests");
    QCoreApplication::setApplicationName("document_tests");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path());
}

// Runs the event loop until `done` or `ms` have passed; returns done().
inline bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers from fields set by the test and records what was asked.
class ScriptedQuestions : public DocumentQuestions {
public:
    QString openName;
    QString saveName;
    UnsavedChanges unsavedAnswer = UnsavedChanges::Discard;
    bool replaceAnswer = true;
    QStringList unsavedAsked;
    QStringList replaceAsked; // the files each question about replacing named
    QStringList failures;

    QString openFileName(const QString&, const QString&) override { return openName; }
    QString saveFileName(const QString&, const QString&) override { return saveName; }
    bool askReplaceFile(const QString& path) override
    {
        replaceAsked << path;
        return replaceAnswer;
    }
    UnsavedChanges askSaveChanges(const QString& name) override
    {
        unsavedAsked << name;
        return unsavedAnswer;
    }
    void showFailure(const QString& title, const QString& text) override
    {
        failures << title + ": " + text;
    }
    std::vector<std::pair<qint64, qint64>> progress; // done, total of each report
    void showReadingProgress(const QString&, qint64 done, qint64 total) override
    {
        progress.emplace_back(done, total);
    }
};

// `count` horizontal segments starting at height y.
inline CurveSet segments(int count, double y = -0.5)
{
    CurveSet set;
    for (int i = 0; i < count; ++i)
        set.addCurve(segment(-0.5, y + 0.1 * i, 0.5, y + 0.1 * i + 0.05));
    return set;
}

// One step that adds a segment at height y.
inline void addSegment(Document& document, double y)
{
    document.recordEdit("Add", [&] { document.curves().addCurve(segment(-0.3, y, 0.3, y)); });
}

} // namespace doc_test
