#include "scripted_edits.h"

#include "document.h"
#include "curve_set_xml.h"

#include <QTimer>

#include <iostream>

void scheduleScriptedEdits(Document& document, const QStringList& files, int intervalMs)
{
    for (int i = 0; i < files.size(); ++i) {
        const QString file = files.at(i);
        QTimer::singleShot(intervalMs * (i + 1), &document, [&document, file, i] {
            CurveSet loaded;
            if (!loadXml(loaded, file))
                return;
            CurveSet& set = document.curves();
            document.recordEdit("Scripted Edit", [&] {
                DrawingChange::between(DrawingSnapshot::of(set), loaded).apply(set);
            });
            std::cout << "Scripted edit " << i + 1 << " done" << std::endl;
        });
    }
}
