#pragma once

// Programs that tests start (the editor, tintweave-render, tintweave-trace) run in a home of their
// own: HOME and the XDG settings, data and cache folders point into a temporary folder that goes
// with the test, so that no child reads or writes the user's settings, recent files, recovery
// copies or caches. runProgram runs one to its end and collects its exit status and output;
// tests that keep a child running (an editor they signal or kill) give it ChildHome's environment.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace test_support {

// A temporary home: `home/` for HOME, `config/`, `data/` and `cache/` for XDG_CONFIG_HOME,
// XDG_DATA_HOME and XDG_CACHE_HOME. Removed with everything in it when destroyed.
class ChildHome {
public:
    ChildHome()
    {
        for (const char* folder : {"home", "config", "data", "cache"})
            QDir(dir.path()).mkpath(QString::fromLatin1(folder));
    }
    bool isValid() const { return dir.isValid(); }
    QString path() const { return dir.path(); }
    QString homeFolder() const { return dir.filePath("home"); }
    QString configFolder() const { return dir.filePath("config"); }
    QString dataFolder() const { return dir.filePath("data"); }
    QString cacheFolder() const { return dir.filePath("cache"); }

    // `base` with HOME and the XDG folders pointing into this home.
    QProcessEnvironment environment(
        QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const
    {
        base.insert("HOME", homeFolder());
        base.insert("XDG_CONFIG_HOME", configFolder());
        base.insert("XDG_DATA_HOME", dataFolder());
        base.insert("XDG_CACHE_HOME", cacheFolder());
        return base;
    }

private:
    QTemporaryDir dir;
};

// What a program run to its end gave back.
struct ProgramRun {
    static constexpr int kHung = -1;      // it had not ended in time (it was killed)
    static constexpr int kSignalled = -2; // it ended by a signal (an abort, a crash)

    int status = kHung; // the exit status, or kHung, or kSignalled
    QByteArray out;     // standard output, as written
    QString err;        // standard error, decoded
};

struct ProgramOptions {
    QByteArray input; // written to its standard input, which is then closed
    // The environment it starts from; HOME and the XDG folders are replaced by a fresh home.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    int timeoutMs = 120000;
    QString workingDirectory; // empty: the test's own
};

// Runs `program` with `arguments` in a fresh ChildHome (removed afterwards) and waits for its
// end; a run past options.timeoutMs is killed and reported as kHung.
inline ProgramRun runProgram(const QString& program, const QStringList& arguments,
                             const ProgramOptions& options = ProgramOptions())
{
    const ChildHome home;
    QProcess process;
    process.setProcessEnvironment(home.environment(options.environment));
    if (!options.workingDirectory.isEmpty())
        process.setWorkingDirectory(options.workingDirectory);
    process.start(program, arguments);
    process.write(options.input);
    process.closeWriteChannel();
    ProgramRun run;
    if (!process.waitForFinished(options.timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status =
        process.exitStatus() == QProcess::NormalExit ? process.exitCode() : ProgramRun::kSignalled;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// A program of the build tree, from a test executable in build/tests/<area>/: for example
// builtProgram("tools/tintweave-render").
inline QString builtProgram(const QString& relativePath)
{
    return QFileInfo(QCoreApplication::applicationDirPath() + "/../../" + relativePath)
        .absoluteFilePath();
}

} // namespace test_support
