#include "status_lines.h"

#include <QLabel>
#include <QStatusBar>
#include <QVariant>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Lines of text the status bar holds: two for the outcome, one for the tool, or three for a tip.
constexpr int kStatusLines = 3;

// Height in pixels of kStatusLines lines of text in `metrics`, as a label draws them.
int linesHeight(const QFontMetrics& metrics)
{
    return metrics.boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft, "A\nA\nA").height();
}

static_assert(kStatusLines == 3, "linesHeight measures three lines");

} // namespace

void StatusLines::install(QStatusBar* statusBar)
{
    bar = statusBar;
    auto* lines = new QWidget(bar);
    auto* layout = new QVBoxLayout(lines);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(0);
    outcomeLine = new QLabel(lines);
    toolLine = new QLabel(lines);
    tipLines = new QLabel(lines);
    for (QLabel* line : {outcomeLine, toolLine, tipLines}) {
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        layout->addWidget(line);
    }
    outcomeLine->setWordWrap(true);
    tipLines->setWordWrap(true);
    tipLines->hide();
    lines->setFixedHeight(linesHeight(tipLines->fontMetrics()));
    // A permanent widget as wide as the bar: the bar's own one-line message, which the panel's
    // width would cut, has no room; the tip is shown wrapped here instead.
    bar->addPermanentWidget(lines, 1);
    QObject::connect(bar, &QStatusBar::messageChanged, tipLines,
                     [this](const QString& text) { showTip(text); });
    showTool("No tool chosen");
}

void StatusLines::showOutcome(const QString& text)
{
    bar->clearMessage(); // a hover tip would hide the new outcome
    showLine(outcomeLine, text, kStatusLines - 1);
}

void StatusLines::showTool(const QString& text) { showLine(toolLine, text, 1); }

QString StatusLines::outcomeText() const { return outcomeLine->property("fullText").toString(); }

QString StatusLines::toolText() const { return toolLine->property("fullText").toString(); }

QString StatusLines::tipText() const
{
    return tipLines->isVisible() ? tipLines->text() : QString();
}

bool StatusLines::tipFits(const QString& text) const
{
    const QRect room(0, 0, lineRoom(), linesHeight(tipLines->fontMetrics()));
    const QRect needed =
        tipLines->fontMetrics().boundingRect(room, Qt::TextWordWrap | Qt::AlignLeft, text);
    return needed.height() <= room.height() && needed.width() <= room.width();
}

int StatusLines::lineRoom() const
{
    return std::max(40, bar->window()->width() - 28); // less the margins and the size grip
}

void StatusLines::showLine(QLabel* line, const QString& text, int lines)
{
    line->setToolTip(text);
    line->setProperty("fullText", text);
    // Cut short to the room of `lines` lines; the wrapped text may need a little more.
    const int room = lineRoom() * lines - (lines - 1) * line->fontMetrics().averageCharWidth() * 8;
    line->setText(line->fontMetrics().elidedText(text, Qt::ElideRight, room));
}

void StatusLines::showTip(const QString& text)
{
    tipLines->setText(text);
    tipLines->setVisible(!text.isEmpty());
    outcomeLine->setVisible(text.isEmpty());
    toolLine->setVisible(text.isEmpty());
}
