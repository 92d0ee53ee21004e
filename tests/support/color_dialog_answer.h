#pragma once

// Answers the next modal QColorDialog from the event loop, for tests that drive a real one.

#include <QApplication>
#include <QColor>
#include <QColorDialog>
#include <QTimer>

namespace test_support {

// Accepts `color` (opacity included), or cancels when it is invalid. Polls because the dialog
// appears only once the static getColor() call has started.
inline void answerNextColorDialog(QColor color)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, color] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        if (color.isValid()) {
            dialog->setCurrentColor(color);
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    timer->start(20);
}

} // namespace test_support
