#pragma once

#include <QString>

class QLabel;
class QStatusBar;

// The panel's status bar, three lines high: what the last command came to (up to two lines), and
// the active tool. A status tip (a hover over a control) takes the place of both while it is
// shown, wrapped over the three lines, so that the panel's narrow width cuts none of it. A line
// too long for its room ends with an ellipsis; its whole text is its tooltip.
class StatusLines {
public:
    // Adds the two lines to `bar`; the tool line says that no tool is chosen yet.
    void install(QStatusBar* bar);

    // Replaces the outcome line, and a hover tip shown at the time, so the newest is in sight.
    void showOutcome(const QString& text);
    void showTool(const QString& text);

    // The lines in full.
    QString outcomeText() const;
    QString toolText() const;
    // The status tip shown, empty when none; whether `text` fits the tip's room unshortened.
    QString tipText() const;
    bool tipFits(const QString& text) const;

private:
    void showLine(QLabel* line, const QString& text, int lines);
    void showTip(const QString& text);
    int lineRoom() const; // width of a line of text, in pixels

    QStatusBar* bar = nullptr;
    QLabel* outcomeLine = nullptr;
    QLabel* toolLine = nullptr;
    QLabel* tipLines = nullptr;
};
