#pragma once

#include <QString>

class QLabel;
class QStatusBar;

// The two lines of the panel's status bar: what the last command came to, and the active tool
// with its gesture. Each line is cut short with an ellipsis to the window's width; its whole
// text is its tooltip.
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

private:
    void showLine(QLabel* line, const QString& text);

    QStatusBar* bar = nullptr;
    QLabel* outcomeLine = nullptr;
    QLabel* toolLine = nullptr;
};
