#include "tool_command_line.h"

#include "tool_exit_status.h"

#include <cstdio>

ToolCommandLine::ToolCommandLine(const char* program, const char* usage, const char* version)
    : program(program), usage(usage), version(version)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addFlag(QStringLiteral("help"));
    addFlag(QStringLiteral("h"));
    addFlag(QStringLiteral("version"));
}

void ToolCommandLine::addFlag(const QString& name)
{
    parser.addOption(QCommandLineOption(name));
    flags << name;
}

void ToolCommandLine::addValue(const QString& name, const QString& needs)
{
    parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
    values.push_back({name, needs});
}

bool ToolCommandLine::takesValue(const QString& name) const
{
    for (const ValueOption& option : values)
        if (option.name == name)
            return true;
    return false;
}

bool ToolCommandLine::isKnown(const QString& name) const
{
    return flags.contains(name) || takesValue(name);
}

// The first argument that names no option, as it was written ("--bogus", "-x"); a value that
// follows an option is skipped.
QString ToolCommandLine::firstUnknownOption(const QStringList& arguments) const
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith('-') || argument == QLatin1String("-"))
            continue;
        QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        const bool inlineValue = name.contains('=');
        name = name.section('=', 0, 0);
        if (!isKnown(name))
            return argument;
        if (takesValue(name) && !inlineValue)
            ++i;
    }
    return QString();
}

int ToolCommandLine::parse(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("h"))) {
        std::fputs(usage, stdout);
        return tool_exit::kOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", program, version);
        return tool_exit::kOk;
    }
    if (parsed)
        return -1;
    const QString unknown = firstUnknownOption(arguments);
    if (!unknown.isEmpty())
        return usageError(QStringLiteral("unknown option '%1'").arg(unknown));
    // The other mistake the parser finds: an option with a value ends the line.
    const QString last = arguments.back();
    const QString name = last.mid(last.startsWith(QLatin1String("--")) ? 2 : 1);
    if (takesValue(name))
        return badValue(name);
    return usageError(parser.errorText());
}

int ToolCommandLine::badValue(const QString& name) const
{
    for (const ValueOption& option : values)
        if (option.name == name)
            return valueHint ? usageError(option.needs) : fail(tool_exit::kUsage, option.needs);
    return usageError(QStringLiteral("--%1 has a bad value").arg(name));
}

int reportFailure(const char* program, int status, const QString& message)
{
    std::fprintf(stderr, "%s: %s\n", program, message.toLocal8Bit().constData());
    return status;
}

int ToolCommandLine::fail(int status, const QString& message) const
{
    return reportFailure(program, status, message);
}

int ToolCommandLine::usageError(const QString& message) const
{
    return fail(tool_exit::kUsage, message + QStringLiteral(" (see --help)"));
}
