#pragma once

// Runs a tintweave program of the build tree as a process, in a home of its own (see
// child_program.h), and collects what it says.

#include "child_program.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// status: the exit status, or -1 when it did not end within 4 minutes, -2 when a signal ended it.
using ToolRun = test_support::ProgramRun;

// build/tests/tools/tools_tests -> build/tools/NAME
inline QString toolPath(const QString& name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../../tools/") + name;
}

inline ToolRun runProgram(const QString& name, const QStringList& arguments,
                          const QByteArray& input = QByteArray())
{
    test_support::ProgramOptions options;
    options.input = input;
    options.timeoutMs = 240000;
    return test_support::runProgram(toolPath(name), arguments, options);
}
