#include "xml_limits.h"

#include <QHash>
#include <QTextCodec>

#include <algorithm>

namespace {

// True when `text` holds the ASCII string `s` at `at`.
bool holdsAt(const QString& text, int at, const char* s)
{
    for (int k = 0; s[k] != '\0'; ++k)
        if (at + k >= text.size() || text[at + k] != QLatin1Char(s[k]))
            return false;
    return true;
}

// Index just past the next `end` at or after `from`; the text's size when there is none.
int skipPast(const QString& text, int from, const char* end)
{
    const int found = text.indexOf(QLatin1String(end), from);
    return found < 0 ? text.size() : found + int(qstrlen(end));
}

// Index just past the quoted literal whose opening quote is at `at`.
int skipQuoted(const QString& text, int at)
{
    const int close = text.indexOf(text[at], at + 1);
    return close < 0 ? text.size() : close + 1;
}

// Index just past a declaration ("<!DOCTYPE ...>") whose "<!" is at `at`: quoted literals,
// comments and processing instructions inside its internal subset are passed whole, so that
// none of their characters ends it early.
int skipDeclaration(const QString& text, int at)
{
    int depth = 0;
    int i = at + 2;
    while (i < text.size()) {
        const QChar c = text[i];
        if (holdsAt(text, i, "<!--"))
            i = skipPast(text, i + 4, "-->");
        else if (holdsAt(text, i, "<?"))
            i = skipPast(text, i + 2, "?>");
        else if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            i = skipQuoted(text, i);
        else if (c == QLatin1Char('['))
            ++depth, ++i;
        else if (c == QLatin1Char(']'))
            --depth, ++i;
        else if (c == QLatin1Char('>') && depth <= 0)
            return i + 1;
        else
            ++i;
    }
    return i;
}

// Counts the attributes of the tag whose name starts at `at` (one '=' outside quotes each);
// returns the index just past the tag.
int scanTag(const QString& text, int at, int& attributes)
{
    attributes = 0;
    int i = at;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            i = skipQuoted(text, i);
        else if (c == QLatin1Char('='))
            ++attributes, ++i;
        else if (c == QLatin1Char('>'))
            return i + 1;
        else if (c == QLatin1Char('<'))
            return i; // not well-formed: the parser says so
        else
            ++i;
    }
    return i;
}

qint64 saturatedSum(qint64 a, qint64 b) { return std::min(kUnboundedExpansion, a + b); }

// Expansion sizes of the entities, each computed once.
class ExpansionSizes {
public:
    explicit ExpansionSizes(const QXmlStreamEntityDeclarations& entities)
    {
        for (const QXmlStreamEntityDeclaration& e : entities) {
            values.insert(e.name().toString(), e.value().toString());
            longestName = std::max(longestName, e.name().size());
        }
    }

    // Characters the references in `text` expand to. A reference is "&name;" with a declared
    // name, so only the next longestName + 1 characters after each '&' are looked at.
    qint64 ofReferencesIn(const QString& text, int depth)
    {
        qint64 total = 0;
        for (int i = text.indexOf(QLatin1Char('&')); i >= 0 && total < kUnboundedExpansion;
             i = text.indexOf(QLatin1Char('&'), i + 1)) {
            const int last = std::min(text.size() - 1, i + 1 + longestName);
            int end = i + 1;
            while (end <= last && text[end] != QLatin1Char(';') && text[end] != QLatin1Char('&'))
                ++end;
            if (end > last || text[end] != QLatin1Char(';'))
                continue;
            const QString name = text.mid(i + 1, end - i - 1);
            if (values.contains(name))
                total = saturatedSum(total, ofEntity(name, depth + 1));
        }
        return total;
    }

private:
    static constexpr int kMaxNesting = 64;

    qint64 ofEntity(const QString& name, int depth)
    {
        const auto known = sizes.constFind(name);
        if (known != sizes.constEnd())
            return *known;
        if (depth > kMaxNesting)
            return kUnboundedExpansion;
        // Marked unbounded while it is being computed: a reference back to it is a cycle.
        sizes.insert(name, kUnboundedExpansion);
        const QString value = values.value(name);
        const qint64 size = saturatedSum(value.size(), ofReferencesIn(value, depth));
        sizes.insert(name, size);
        return size;
    }

    QHash<QString, QString> values;
    QHash<QString, qint64> sizes;
    int longestName = 0;
};

} // namespace

QString decodedXmlText(const QByteArray& data)
{
    QXmlStreamReader xml(data);
    xml.readNext(); // StartDocument: reads the XML declaration, nothing more
    QTextCodec* codec = nullptr;
    if (!xml.documentEncoding().isEmpty())
        codec = QTextCodec::codecForName(xml.documentEncoding().toLatin1());
    if (codec == nullptr)
        codec = QTextCodec::codecForUtfText(data, QTextCodec::codecForName("UTF-8"));
    return codec->toUnicode(data);
}

int largestAttributeCount(const QString& text)
{
    int largest = 0;
    int i = 0;
    while (i < text.size()) {
        if (text[i] != QLatin1Char('<'))
            ++i;
        else if (holdsAt(text, i, "<!--"))
            i = skipPast(text, i + 4, "-->");
        else if (holdsAt(text, i, "<![CDATA["))
            i = skipPast(text, i + 9, "]]>");
        else if (holdsAt(text, i, "<?"))
            i = skipPast(text, i + 2, "?>");
        else if (holdsAt(text, i, "<!"))
            i = skipDeclaration(text, i);
        else {
            int attributes = 0;
            i = scanTag(text, i + 1, attributes);
            largest = std::max(largest, attributes);
        }
    }
    return largest;
}

qint64 entityExpansionBound(const QString& text, const QXmlStreamEntityDeclarations& entities)
{
    if (entities.isEmpty())
        return 0;
    ExpansionSizes sizes(entities);
    return sizes.ofReferencesIn(text, 0);
}
