#pragma once

// The real pointer of the (virtual) X server, for tests of what a hovering hand sees: status
// tips, tooltips. Such tests share one pointer with every other process on the display, so they
// run alone (tintweave_add_test_suite's POINTER tests, or a SERIAL suite).

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <algorithm>

namespace test_support {

// Moves the pointer over the middle of `widget`, as a user's hand would, and waits until the
// widget knows it is under the pointer. The pointer first goes to a point just below the
// widget's window, so that there is a move to report even when it stood on the target already
// (Qt does not move a pointer to where it is). False when the widget did not get the pointer.
inline bool hover(QWidget* widget, int ms = 5000)
{
    const QRect window = widget->window()->frameGeometry();
    const QRect screen = widget->screen()->geometry();
    const QPoint away(std::clamp(window.center().x(), screen.left(), screen.right()),
                      std::min(window.bottom() + 12, screen.bottom()));
    QCursor::setPos(away);
    if (!QTest::qWaitFor([&] { return QCursor::pos() == away && !widget->underMouse(); }, ms))
        return false;
    const QPoint target = widget->mapToGlobal(widget->rect().center());
    QCursor::setPos(target);
    return QTest::qWaitFor([&] { return QCursor::pos() == target && widget->underMouse(); }, ms);
}

} // namespace test_support
