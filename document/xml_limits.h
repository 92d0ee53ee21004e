#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

// Checks on the raw text of an XML document that keep a hostile file from costing the parser
// unbounded time or memory: the parser's duplicate-attribute check is quadratic in the number of
// attributes of one element, and internal entities let a small file expand into gigabytes.

// The document's text as the parser decodes it: the encoding of its XML declaration, else the
// one its byte-order mark gives, else UTF-8.
QString decodedXmlText(const QByteArray& data);

// Largest number of attributes on one start tag of `text`, counting the markup outside comments,
// CDATA sections, processing instructions and declarations (the document type declaration with
// its internal subset).
int largestAttributeCount(const QString& text);

// Upper bound of the number of characters the references in `text` to the internal entities
// `entities` expand to, nested references included (references inside comments and the
// declarations are counted too, so it never underestimates). Returns kUnboundedExpansion for a
// recursive entity or one nested more than 64 deep.
constexpr qint64 kUnboundedExpansion = qint64(1) << 62;
qint64 entityExpansionBound(const QString& text, const QXmlStreamEntityDeclarations& entities);
