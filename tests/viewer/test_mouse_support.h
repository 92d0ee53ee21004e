#pragma once

// Shared set-up of the editing tests: a real Viewer shown under Xvfb, driven with synthetic
// mouse and key events, whose modal questions (file names, menus) are answered
// by a script instead of a modal loop.

#include "curve.h"
#include "curve_rendering.h"
#include "editor_commands.h"
#include "mouse_tools.h"
#include "view_navigator.h"
#include "viewer.h"
#include "viewer_settings.h"
#include "viewer_dialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include <initializer_list>
#include <memory>
#include <optional>

// Answers the viewer's questions from fields set by the test and records what was asked.
class ScriptedDialogs : public ViewerDialogs {
public:
    // Answers.
    QString openName;
    QStringList openNames;
    QString saveName;
    QString menuChoice; // text of the entry to choose; empty dismisses the menu
    UnsavedChanges unsavedAnswer = UnsavedChanges::Discard;
    LeftDrawing recoverAnswer = LeftDrawing::Keep;
    bool replaceAnswer = true; // whether an existing file may be replaced

    // Questions asked.
    QStringList titles;
    QStringList folders; // folder each file dialog started in
    QStringList filters;
    QStringList menuEntries; // entries of the last menu, separators as "-"
    int menusRun = 0;
    QStringList unsavedAsked;       // drawing named by each question about unsaved changes
    QStringList recoverAsked;       // drawing named by each offer of a left drawing
    QStringList replaceAsked;       // file named by each question about replacing it
    QStringList messages;           // "title: text" of every warning shown
    QStringList news;               // "title: text" of every piece of information shown
    KeyframeOptions keyframeAnswer; // the folder and frames per pair chosen
    bool keyframeAccepted = true;   // false: the keyframe options are cancelled
    int keyframeAsked = 0;
    std::optional<int> pictureSizeAnswer; // unset: the picture size offered is accepted
    QList<int> pictureSizesOffered;       // the size each picture-size question started from

    QString openFileName(QWidget*, const QString& title, const QString& filter) override
    {
        record(title, filter);
        return openName;
    }
    QStringList openFileNames(QWidget*, const QString& title, const QString& filter) override
    {
        record(title, filter);
        return openNames;
    }
    QString saveFileName(QWidget*, const QString& title, const QString& filter) override
    {
        record(title, filter);
        return saveName;
    }
    bool askReplaceFile(QWidget*, const QString& path) override
    {
        replaceAsked << path;
        return replaceAnswer;
    }
    void showMessage(QWidget*, const QString& title, const QString& text) override
    {
        messages << title + ": " + text;
    }
    void showInformation(QWidget*, const QString& title, const QString& text) override
    {
        news << title + ": " + text;
    }
    bool askPictureSize(QWidget*, int& size, int, int) override
    {
        pictureSizesOffered << size;
        if (pictureSizeAnswer)
            size = *pictureSizeAnswer;
        return size > 0;
    }
    bool askKeyframeOptions(QWidget*, KeyframeOptions& options) override
    {
        ++keyframeAsked;
        if (keyframeAccepted)
            options = keyframeAnswer;
        return keyframeAccepted;
    }
    UnsavedChanges askSaveChanges(QWidget*, const QString& drawingName) override
    {
        unsavedAsked << drawingName;
        return unsavedAnswer;
    }
    LeftDrawing askRecover(QWidget*, const QString& drawingName, const QString&) override
    {
        recoverAsked << drawingName;
        return recoverAnswer;
    }
    QAction* runMenu(QMenu& menu, const QPoint&) override
    {
        ++menusRun;
        menuEntries.clear();
        QAction* chosen = nullptr;
        for (QAction* action : menu.actions()) {
            menuEntries << (action->isSeparator() ? QString("-") : action->text());
            if (!action->isSeparator() && action->text() == menuChoice)
                chosen = action;
        }
        return chosen;
    }

private:
    void record(const QString& title, const QString& filter)
    {
        titles << title;
        folders << folder();
        filters << filter;
    }
};

// A curve through the given control points (3k + 1 of them) with one colour and blur point at
// each end, as the stroke vectoriser makes them.
inline Curve makeCurve(std::initializer_list<Point> points,
                       const QColor& left = QColor(255, 255, 255),
                       const QColor& right = QColor(130, 25, 25), int blur = 0)
{
    Curve curve(left, right, blur);
    for (const Point& p : points)
        curve.appendControlPoint(p.x, p.y);
    const int end = curve.segmentCount() * kSamplesPerSegment;
    curve.appendLeftColor(0, true);
    curve.appendLeftColor(end, true);
    curve.appendRightColor(0, true);
    curve.appendRightColor(end, true);
    curve.appendBlur(0, true);
    curve.appendBlur(end, true);
    curve.updateBoundingBox();
    return curve;
}

// A straight one-segment curve from a to b with its tangent points at the thirds.
inline Curve makeLine(const Point& a, const Point& b, const QColor& left = QColor(255, 255, 255),
                      const QColor& right = QColor(130, 25, 25), int blur = 0)
{
    const Point d = b - a;
    return makeCurve({a, a + d * (1.0 / 3.0), a + d * (2.0 / 3.0), b}, left, right, blur);
}

// The real viewer, shown and initialised, with scripted dialogs.
class EditingViewer : public ::testing::Test {
protected:
    void SetUp() override
    {
        setLifetimeThreshold(0);
        viewer = std::make_unique<Viewer>();
        commands = std::make_unique<EditorCommands>(*viewer);
        auto script = std::make_unique<ScriptedDialogs>();
        dialogs = script.get();
        viewer->setDialogs(std::move(script));
        viewer->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.get()));
        for (int i = 0; i < 200 && !viewer->isGLReady(); ++i)
            QTest::qWait(20);
        ASSERT_TRUE(viewer->isGLReady());
        ASSERT_EQ(viewer->width(), 512);
        ASSERT_EQ(viewer->height(), 512);
    }

    void TearDown() override
    {
        commands.reset();
        viewer.reset();
    }

    CurveSet& doc() { return viewer->curves(); }

    // Adds a curve to the drawing (no re-solve) and returns its index.
    int addCurve(const Curve& curve)
    {
        doc().addCurve(curve);
        return doc().nb_curves - 1;
    }
    // Full re-solve of the picture through a slot that changes nothing else.
    void resolve() { viewer->settings().setLifetimeThreshold(0); }

    // Widget pixel (origin top left) that shows canvas point p with the viewer's current view.
    QPoint pixelOf(const Point& p) const
    {
        const double w = viewer->width();
        const double h = viewer->height();
        const double zoom = viewer->currentView().zoom;
        const double x = ((p.x + viewer->currentView().pan.x) * zoom + 1.0) * w * 0.5;
        const double y = (1.0 - (p.y + viewer->currentView().pan.y) * zoom) * h * 0.5;
        return QPoint(qRound(x), qRound(y));
    }

    void send(QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons held,
              Qt::KeyboardModifiers modifiers)
    {
        QMouseEvent event(type, QPointF(pos), QPointF(viewer->mapToGlobal(pos)), button, held,
                          modifiers);
        QApplication::sendEvent(viewer.get(), &event);
    }
    void press(const QPoint& pos, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        send(QEvent::MouseButtonPress, pos, button, button, modifiers);
    }
    void moveTo(const QPoint& pos, Qt::MouseButtons held = Qt::LeftButton,
                Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        send(QEvent::MouseMove, pos, Qt::NoButton, held, modifiers);
    }
    void release(const QPoint& pos, Qt::MouseButton button = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        send(QEvent::MouseButtonRelease, pos, button, Qt::NoButton, modifiers);
    }
    void click(const QPoint& pos, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        press(pos, button, modifiers);
        release(pos, button, modifiers);
    }
    void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, code, modifiers);
        QApplication::sendEvent(viewer.get(), &event);
    }

    std::unique_ptr<Viewer> viewer;
    std::unique_ptr<EditorCommands> commands; // on the viewer's drawing, as the editor makes them
    ScriptedDialogs* dialogs = nullptr;
};
