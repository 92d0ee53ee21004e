#pragma once

// Runs a tintweave program of the build tree as a process and collects what it says.

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

struct ToolRun {
    int status = -1; // -1: did not end within 4 minutes, -2: ended by a signal
    QByteArray out;
    QString err;
};

// build/tests/tools/tools_tests -> build/tools/NAME
inline QString toolPath(const QString& name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../../tools/") + name;
}

inline ToolRun runProgram(const QString& name, const QStringList& arguments,
                          const QByteArray& input = QByteArray())
{
    QProcess process;
    process.start(toolPath(name), arguments);
    process.write(input);
    process.closeWriteChannel();
    ToolRun run;
    if (!process.waitForFinished(240000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}
