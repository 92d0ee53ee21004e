#include "console_capture.h"

#include <QStringList>

#include <iostream>
#include <sstream>

QString runCapturingErrors(const std::function<void()>& work)
{
    std::ostringstream captured;
    std::streambuf* const console = std::cerr.rdbuf(captured.rdbuf());
    work();
    std::cerr.rdbuf(console);
    const std::string text = captured.str();
    std::cerr << text << std::flush;
    return QString::fromLocal8Bit(text.data(), int(text.size()));
}

QString causeOf(const QString& printed, const QString& fallback)
{
    const QStringList lines = printed.split('\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return fallback;
    QString line = lines.last().trimmed();
    const int afterName = line.lastIndexOf("\": ");
    if (afterName >= 0)
        return line.mid(afterName + 3);
    if (line.startsWith("[!]>"))
        line = line.mid(4).trimmed();
    return line;
}
