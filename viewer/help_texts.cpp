#include "help_texts.h"

namespace {

const char* const kTableOpen =
    "<table style=\"width: 100%; text-align: left;\" border=\"1\" cellpadding=\"2\" cellspacing=\"2\">";
const char* const kCellOpen = "<td style=\"vertical-align: top;\">";

enum class SecondCellEnd { LineBreak, Plain };

// One data row: both cells open with kCellOpen, the first cell's text ends with "<br>", the
// second with "<br></td>" (or only "</td>" for the few rows written that way).
QString row(const char* first, const char* second, SecondCellEnd end = SecondCellEnd::LineBreak)
{
    QString text = "<tr>";
    text += kCellOpen;
    text += first;
    text += "<br>";
    text += "</td>";
    text += kCellOpen;
    text += second;
    if (end == SecondCellEnd::LineBreak)
        text += "<br>";
    text += "</td>";
    text += "</tr>";
    return text;
}

// The header row: two centred bold titles, with the cell style given by the page.
QString headerRow(const char* cellOpen, const char* left, const char* right)
{
    QString text = "<tr>";
    text += cellOpen;
    text += QString("<center><b>") + left + "</b></center>";
    text += "</td>";
    text += cellOpen;
    text += QString("<center><b>") + right + "</b></center>";
    text += "</tr>";
    return text;
}

QString table(const QString& header, const QString& rows)
{
    return QString(kTableOpen) + "<tbody>" + header + rows + "</tbody>" + "</table>";
}

} // namespace

QString helpPageText()
{
    return QStringLiteral("<h2>T i n t w e a v e</h2>") + "Spline drawing with color diffusion.";
}

QString mousePageText()
{
    QString rows;
    rows += row("Left Button - Drawing mode", "Draw a spline", SecondCellEnd::Plain);
    rows += row("Left Button - Manipulation mode", "Move a control point, move a tangent point",
                SecondCellEnd::Plain);
    rows += row("Left Button - Color and blur mode",
                "Change the color or the blur of an attribute point");
    rows += row("Left Button - Pan mode", "Pan the viewport");
    rows += row("Shift + Left Button - Multiselection mode",
                "Add or remove a spline from the set of selected splines");
    rows += row("Ctrl + Left Button - Multiselection mode", "Scribble to select splines");
    rows += row("Left Button - Pan mode", "Pan the viewport");
    rows += row("Right Button - Manipulation mode", "Insert or delete a control point");
    rows += row("Right Button - Color and blur mode", "Insert or delete an attribute point");
    return table(headerRow("<td style=\"vertical-align: top; \">", "Mouse", "Action"), rows);
}

QString keyboardPageText()
{
    QString rows;
    rows += row("Ctrl+C", "Copy a spline or a set of splines");
    rows += row("Ctrl+V", "Paste a spline or a set of splines", SecondCellEnd::Plain);
    rows += row("Ctrl+D", "Copy the mean blur of a spline or a set of splines");
    rows += row("Ctrl+F", "Paste a blur on a spline or a set of splines");
    // P steps to the coarser level and L to the finer one (see the key handler).
    rows += row("P", "Debug: display a coarser multigrid level");
    rows += row("L", "Debug: display a finer multigrid level");
    return table(headerRow(kCellOpen, "Key", "Action"), rows);
}
