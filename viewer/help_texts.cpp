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
    return QStringLiteral("<h2>T i n t w e a v e</h2>") + "Spline drawing with color diffusion."
           + "<h3>Getting started</h3><ol>"
           + "<li><b>Draw</b>: choose the Drawing tool in the control panel and drag in the "
             "picture; a spline follows your stroke.</li>"
           + "<li><b>Color</b>: Left Color and Right Color set the two sides of the current "
             "spline and of the next ones. With the Color selection tool, click a spline, then "
             "one of its color points to change it; the paint bucket paints color points.</li>"
           + "<li><b>Edit</b>: with the Control point selection tool, click a spline, then drag "
             "it or its points; the right button adds or deletes points. Multiple selection "
             "works on several splines. Edit &gt; Undo (Ctrl+Z) takes any step back.</li>"
           + "<li><b>Save</b>: File &gt; Save (Ctrl+S) keeps the drawing as an XML file, "
             "File &gt; Load XML (Ctrl+O) reads it back.</li>"
           + "<li><b>Export</b>: File &gt; Save as Png saves the picture, File &gt; Export "
             "PDF... the drawing as vectors; File &gt; Keyframing makes the frames between "
             "several drawings.</li>"
           + "<li><b>Layers</b>: the Layers list beside the panel stacks drawings: new splines "
             "go into the current layer, the only one the mouse edits; Show, Lock and Opacity "
             "per layer, right-click to move the selected splines into another.</li>"
           + "<li><b>Trace</b>: File &gt; Trace Bitmap... turns a bitmap into a drawing of "
             "splines (a new layer over a drawing that has some).</li>"
           + "</ol>"
           + "<p>Hover over a control of the panel to read what it does in the panel's status "
             "bar.</p>";
}

QString mousePageText()
{
    QString rows;
    rows += row("Left Button - Drawing", "Draw a spline", SecondCellEnd::Plain);
    rows += row("Left Button - Control point selection",
                "Click a spline to select it; then drag it, or move a control point, move a "
                "tangent point",
                SecondCellEnd::Plain);
    rows += row("Right Button - Control point selection",
                "Insert or delete a control point, split the spline");
    rows += row("Left Button - Color selection",
                "Change the color of a color point; a blur point takes the panel's Blur slider "
                "(Return applies, Escape cancels)");
    rows += row("Right Button - Color selection", "Insert or delete an attribute point");
    rows += row("Left Button - Multiple selection",
                "Drag the selected splines; a click beside them clears the selection");
    rows += row("Shift + Left Button - Multiple selection",
                "Add or remove a spline from the set of selected splines");
    rows += row("Ctrl + Mouse move - Multiple selection", "Scribble to select splines");
    rows += row("Right Button - Multiple selection",
                "Increase or decrease the blur of the selected splines with the panel's Blur "
                "slider");
    rows += row("Left Button - Pan", "Pan the viewport");
    rows +=
        row("Left Button - Paint bucket", "Paint a color point with the color of the paint bucket");
    rows += row("Right Button - Paint bucket", "Insert or delete a color point");
    rows += row("Left Button - Pick a color in the drawing",
                "Pick the color of the paint bucket from the drawing");
    rows += row("Wheel", "Zoom in or out about the point under the cursor");
    // The panel's action buttons work on the selected splines, or on the current one, and keep
    // the tool.
    rows += row("Panel - Snap to bitmap contours",
                "Move the current spline towards the contours of the loaded bitmap, by up to the "
                "snap reach; press again to go further");
    rows += row("Panel - Read colors in the bitmap",
                "Give the current spline the colors of the loaded bitmap beside it");
    rows += row("Panel - Switch colors", "Swap the left and right colors of the splines");
    rows += row("Panel - Increase or decrease contrast",
                "Push the colors of the two sides of the splines apart, or draw them together");
    rows += row("Panel - Stylization",
                "Draw the splines as straight segments between their key points, or back again");
    rows += row("Panel - Smoothing", "Smooth the splines");
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
    rows += row("Ctrl+A", "Select every spline");
    rows += row("Ctrl+Shift+A", "Deselect every spline");
    rows += row("Return", "Apply the blur being edited");
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
    rows += row("Escape", "Cancel the blur being edited, else deselect; in this help, close it");
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
