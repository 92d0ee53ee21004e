#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <vector>

// "PROGRAM: message" on stderr, one line; returns `status`.
int reportFailure(const char* program, int status, const QString& message);

// The command line of a tintweave tool, read by QCommandLineParser: options may stand anywhere
// on the line, in either order, as "--name value" or "--name=value"; "-" is an ordinary
// argument (standard input or output); the last of a repeated option counts. "--help" (or
// "-h") prints the tool's usage text on stdout and "--version" its name and version, wherever
// they stand; every mistake is one line on stderr, "PROGRAM: what (see --help)" or the tool's
// own line for a bad value, and exit status 2 (tool_exit::kUsage).
class ToolCommandLine {
public:
    ToolCommandLine(const char* program, const char* usage, const char* version);

    // A switch such as "--quiet" (name without dashes).
    void addFlag(const QString& name);
    // An option with a value; `needs` is the line printed when the value is missing.
    void addValue(const QString& name, const QString& needs);

    // -1 when the arguments were read, otherwise the exit status to end with (0 after --help
    // or --version, 2 after a mistake, which is printed).
    int parse(int argc, char** argv);

    bool isSet(const QString& name) const { return parser.isSet(name); }
    QString value(const QString& name) const { return parser.value(name); }
    QStringList positional() const { return parser.positionalArguments(); }

    // "PROGRAM: message" on stderr; returns `status`.
    int fail(int status, const QString& message) const;
    // "PROGRAM: message (see --help)" on stderr; returns tool_exit::kUsage.
    int usageError(const QString& message) const;
    // Whether the value-option's `needs` lines end in " (see --help)" (the default) or stand
    // alone.
    void setHelpHintOnValues(bool hint) { valueHint = hint; }
    // A bad value of option `name`: its `needs` line as usageError (or fail) prints it.
    int badValue(const QString& name) const;

private:
    struct ValueOption {
        QString name;
        QString needs;
    };
    QString firstUnknownOption(const QStringList& arguments) const;
    bool takesValue(const QString& name) const;
    bool isKnown(const QString& name) const;

    const char* program;
    const char* usage;
    const char* version;
    bool valueHint = true;
    QCommandLineParser parser;
    QStringList flags;
    std::vector<ValueOption> values;
};
