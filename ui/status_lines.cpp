#include "status_lines.h"

#include <QLabel>
#include <QStatusBar>
#include <QVariant>
#include <QVBoxLayout>
#include <algorithm>

void StatusLines::install(QStatusBar* statusBar)
{
    bar = statusBar;
    auto* lines = new QWidget(bar);
    auto* layout = new QVBoxLayout(lines);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(0);
    outcomeLine = new QLabel(lines);
    toolLine = new QLabel(lines);
    for (QLabel* line : {outcomeLine, toolLine}) {
        // One line each, cut short to the window's width; the whole text is the tooltip.
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        layout->addWidget(line);
    }
    bar->addWidget(lines, 1);
    showTool("No tool chosen");
}

void StatusLines::showOutcome(const QString& text)
{
    bar->clearMessage(); // a hover tip would hide the new outcome
    showLine(outcomeLine, text);
}

void StatusLines::showTool(const QString& text) { showLine(toolLine, text); }

QString StatusLines::outcomeText() const { return outcomeLine->property("fullText").toString(); }

QString StatusLines::toolText() const { return toolLine->property("fullText").toString(); }

void StatusLines::showLine(QLabel* line, const QString& text)
{
    line->setToolTip(text);
    line->setProperty("fullText", text);
    const int room = std::max(40, bar->window()->width() - 28); // less the size grip
    line->setText(line->fontMetrics().elidedText(text, Qt::ElideRight, room));
}
