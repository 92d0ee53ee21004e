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

const char* const kTintweaveVersion = "0.1";

QString helpPageText()
{
    return QStringLiteral("<h2>T i n t w e a v e</h2>") + "Spline drawing with color diffusion.";
}

QString mousePageText()
{
    QString rows;
    rows += row("Left Button - Drawing mode", "Draw a spline", SecondCellEnd::Plain);
    rows += row("Left Button - Manipulation mode",
                "Click a spline to select it; then drag it, or move a control point, move a "
                "tangent point",
                SecondCellEnd::Plain);
    rows += row("Right Button - Manipulation mode",
                "Insert or delete a control point, split the spline");
    rows += row("Left Button - Color and blur mode",
                "Change the color or the blur of an attribute point");
    rows += row("Right Button - Color and blur mode", "Insert or delete an attribute point");
    rows += row("Left Button - Multiselection mode",
                "Drag the selected splines; a click beside them clears the selection");
    rows += row("Shift + Left Button - Multiselection mode",
                "Add or remove a spline from the set of selected splines");
    rows += row("Ctrl + Mouse move - Multiselection mode", "Scribble to select splines");
    rows += row("Right Button - Multiselection mode",
                "Increase or decrease the blur of the selected splines");
    rows += row("Left Button - Pan mode", "Pan the viewport");
    rows += row("Left Button - Paint bucket mode",
                "Paint a color point with the color of the paint bucket");
    rows += row("Right Button - Paint bucket mode", "Insert or delete a color point");
    rows += row("Left Button - Color picker mode",
                "Pick the color of the paint bucket from the drawing");
    rows += row("Wheel", "Zoom in or out about the point under the cursor");
    return table(headerRow("<td style=\"vertical-align: top; \">", "Mouse", "Action"), rows);
}

QString keyboardPageText()
{
    QString rows;
    rows += row("Ctrl+C", "Copy a spline or a set of splines");
    rows += row("Ctrl+X", "Cut a spline or a set of splines");
    rows += row("Ctrl+V", "Paste a spline or a set of splines", SecondCellEnd::Plain);
    rows += row("Ctrl+D", "Copy the mean blur of a spline or a set of splines");
    rows += row("Ctrl+F", "Paste a blur on a spline or a set of splines");
    rows += row("Delete", "Delete the selected spline or set of splines");
    rows += row("Ctrl+Z", "Undo");
    rows += row("Ctrl+Y, Ctrl+Shift+Z", "Redo");
    rows += row("Ctrl+N", "New drawing");
    rows += row("Ctrl+O", "Open a drawing");
    rows += row("Ctrl+S", "Save the drawing");
    rows += row("Ctrl+Shift+S", "Save the drawing under another name");
    rows += row("Ctrl+Q", "Close the editor");
    rows += row("R", "Clear the drawing and show the whole canvas");
    rows += row("+", "Zoom in");
    rows += row("-", "Zoom out");
    rows += row("Ctrl+0, Home", "Show the whole canvas");
    // P steps to the coarser level and L to the finer one (see the key handler).
    rows += row("P", "Debug: display a coarser multigrid level");
    rows += row("L", "Debug: display a finer multigrid level");
    rows += row("F1", "Show the diffused colors");
    rows += row("F2", "Debug: show the color constraints");
    rows += row("F3", "Debug: show the blur constraints");
    rows += row("F4", "Debug: show the blur solution");
    rows += row("F5", "Debug: show the horizontal gradient");
    rows += row("F6", "Debug: show the vertical gradient");
    rows += row("F7", "Debug: show the background only");
    rows += row("H", "Open or close this help");
    rows += row("Escape", "Close this help");
    return table(headerRow(kCellOpen, "Key", "Action"), rows);
}

QString aboutPageText()
{
    return QStringLiteral("<h2>Tintweave ") + kTintweaveVersion + "</h2>"
           + "<p>Tintweave is an editor for drawings made of splines that carry colors on both "
             "sides and blur along their length; the colors spread from the splines over the "
             "whole canvas by diffusion, solved on the graphics card.</p>"
           + "<p>Copyright the Tintweave developers. All rights reserved: no licence to copy or "
             "distribute this program has been granted.</p>"
           + "<p>Built with Qt 5, libQGLViewer and GLEW, each under its own licence.</p>";
}
