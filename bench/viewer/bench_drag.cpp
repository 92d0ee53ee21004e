// The drag as a user feels it, on the real widget under Xvfb. A hand drags a control point in a
// circle, 2 px every 15 ms: each 15 ms of wall time becomes one mouse-move event posted to the
// viewer's queue (a busy editor finds several waiting, as it would from the window system).
// Frames are counted as they reach the screen (QOpenGLWidget::frameSwapped), not as they are
// drawn. Drawings: 2 random curves, 100 random curves, a photo-like picture (the landscape of
// bench/support/landscape_picture.h under 2500 shaded shapes) traced into about 1500 curves, and
// random drawings of 10,000 and 50,000 curves.
// - BM_DragFrames/curves:n/overlay:k: three seconds of dragging, with the curves drawn over the
//   picture as by default (k = 0: past 300 curves only the dragged, selected and hovered curves'
//   lines), with every curve's line (k = 1) or with none (k = 2, Show Splines off). Counters:
//   frames_per_second (frames shown),
//   frame_ms (median time between two shown frames), moves_per_frame, trail_px (median distance
//   between the hand and the point shown, in window pixels) and trail_max_px; rest_ms, the time
//   from the hand's last move (the button still held) to the last frame shown, after which the
//   editor shows nothing more for half a second; release_ms, the same after the release;
//   bare_pass_ms, a bare 512 x 512 pass in the same run (bench/support/bare_pass.h), and
//   frame_bare, frame_ms in bare passes.
// - BM_KeyframeExport: keyframe export of three drawings of 100 curves (52 frames); the counter
//   frames_per_second is the export rate.
// Run: xvfb-run -a -s "-screen 0 1280x1024x24" ./bench_drag
#include <GL/glew.h>

#include "curve_set.h"
#include "curve_set_xml.h"
#include "export_commands.h"
#include "viewer.h"
#include "viewer_dialogs.h"
#include "viewer_settings.h"

#include "bare_pass.h"
#include "random_drawing.h"
#include "traced_photo.h"

#include "widget_bench_main.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <map>
#include <sstream>
#include <vector>

namespace {

class FixedFiles : public ViewerDialogs {
public:
    QStringList names;
    QStringList openFileNames(QWidget*, const QString&, const QString&) override { return names; }
    // The default folder and frames per pair; the closing news is not shown.
    bool askKeyframeOptions(QWidget*, KeyframeOptions&) override { return true; }
    void showInformation(QWidget*, const QString&, const QString&) override {}
    // Each iteration writes over the frames of the one before.
    bool askReplaceFile(QWidget*, const QString&) override { return true; }
};

// The curve set a viewer shows.
CurveSet& curvesOf(Viewer& viewer) { return viewer.curves(); }

// The drawing of each size: random curves, or (1500) a busy photo-like picture traced with the
// most detail, which gives about 1500 curves. The large random drawings (10,000 and 50,000
// curves) give the drag step of drawings far denser than any traced photo.
const CurveSet& drawingOf(int curves)
{
    static std::map<int, CurveSet> made;
    auto found = made.find(curves);
    if (found != made.end())
        return found->second;
    const CurveSet set = curves == 1500 ? makeTracedPhotoDrawing() : makeRandomDrawing(curves);
    return made.emplace(curves, set).first->second;
}

bool showViewer(Viewer& viewer)
{
    viewer.show();
    QElapsedTimer waited;
    waited.start();
    while (!viewer.isGLReady() && waited.elapsed() < 20000) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    return viewer.isGLReady();
}

QMouseEvent* mouseEvent(Viewer& viewer, QEvent::Type type, const QPointF& pos,
                        Qt::MouseButton button, Qt::MouseButtons held)
{
    return new QMouseEvent(type, pos, QPointF(viewer.mapToGlobal(pos.toPoint())), button, held,
                           Qt::NoModifier);
}

void postMouse(Viewer& viewer, QEvent::Type type, const QPointF& pos, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QApplication::postEvent(&viewer, mouseEvent(viewer, type, pos, button, held));
}

// Window position of a canvas point (the canvas fills the 512 x 512 window at zoom 1).
QPointF pixelOf(const Point& p) { return QPointF((p.x + 1.0) * 256.0, (1.0 - p.y) * 256.0); }

// Runs the event loop until `done` or `ms` milliseconds passed.
template <class Done>
void runEventsUntil(Done done, int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < ms)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// Runs the event loop until no frame has been shown for `quietMs` (counted from now or from the
// last frame shown); returns the time of the last frame shown, in ms of `clock` (or -1 when
// none was).
double lastFrameBeforeQuiet(const QElapsedTimer& clock, const double& lastSwap, int quietMs)
{
    auto now = [&clock] { return clock.nsecsElapsed() * 1e-6; };
    double busy = now(); // the end of the last turn of the event loop that did work
    while (now() - std::max(lastSwap, busy) < quietMs) {
        const double before = now();
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (now() - before > 20.0)
            busy = now();
    }
    return lastSwap;
}

// Median wall time of a bare 512 x 512 pass in the viewer's context, in ms.
double barePassMs(Viewer& viewer)
{
    viewer.makeCurrent();
    const double ms = medianBarePassSeconds() * 1e3;
    viewer.doneCurrent();
    return ms;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Picks a curve near the canvas centre and presses on its first key point: the first click
// makes the curve under the mouse current, the press on its key point starts the point's drag.
// Returns the curve's index, or -1.
int grabKeyPoint(Viewer& viewer, QPointF* pressed)
{
    CurveSet& set = curvesOf(viewer);
    int best = -1;
    double bestDistance = 1e9;
    for (int c = 0; c < set.nb_curves; ++c) {
        const Point key = set.curve(c).controlPoint(0);
        const double d = std::hypot(key.x - 0.1, key.y - 0.1);
        if (d < bestDistance && set.curve(c).nb_control_points >= 4) {
            best = c;
            bestDistance = d;
        }
    }
    if (best < 0)
        return -1;
    // Press twice on the key point: the first press makes the curve under it current, the second
    // picks the point of the current curve (another curve may cross there: the current one is
    // then whatever the first press found).
    const QPointF key = pixelOf(set.curve(best).controlPoint(0));
    for (int press = 0; press < 2; ++press) {
        QMouseEvent down(QEvent::MouseButtonPress, key, QPointF(viewer.mapToGlobal(key.toPoint())),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&viewer, &down);
        if (press == 0) {
            QMouseEvent up(QEvent::MouseButtonRelease, key,
                           QPointF(viewer.mapToGlobal(key.toPoint())), Qt::LeftButton, Qt::NoButton,
                           Qt::NoModifier);
            QApplication::sendEvent(&viewer, &up);
        }
    }
    if (!set.hasCurrentCurve() || set.selectedControlPoint() < 0)
        return -1;
    *pressed = pixelOf(set.curve(set.current_curve).controlPoint(set.selectedControlPoint()));
    return set.current_curve;
}

void BM_DragFrames(benchmark::State& state)
{
    const CurveSet& drawing = drawingOf(int(state.range(0)));
    Viewer viewer;
    if (!showViewer(viewer)) {
        state.SkipWithError("no GL viewer");
        return;
    }
    curvesOf(viewer) = drawing;
    viewer.settings().setLifetimeThreshold(0); // every curve is drawn
    switch (state.range(1)) {                  // the overlay: default, every line, none
    case 1: viewer.settings().setLinesShown(LinesShown::All); break;
    case 2: viewer.settings().showSplines(false); break;
    default: break;
    }
    viewer.changeManipMode(ModeMovePoint);
    viewer.settlePicture();
    runEventsUntil([] { return false; }, 300);

    const double bareBefore = barePassMs(viewer);
    QPointF start;
    if (grabKeyPoint(viewer, &start) < 0) {
        state.SkipWithError("the drag did not pick a key point");
        return;
    }
    CurveSet& set = curvesOf(viewer);

    // The hand: a circle of radius 40 px through the start, 2 px every 15 ms.
    constexpr double kStepMs = 15.0, kStepPx = 2.0, kRadius = 40.0;
    const QPointF centre = start + QPointF(kRadius, 0.0);
    auto handAt = [&](long step) {
        const double angle = M_PI + step * kStepPx / kRadius;
        return centre + QPointF(kRadius * std::cos(angle), kRadius * std::sin(angle));
    };

    QElapsedTimer clock;
    std::vector<double> swaps, trails;
    double lastSwap = -1.0;
    long handStep = 0;
    bool dragging = false;
    QMetaObject::Connection counting = QObject::connect(&viewer, &QOpenGLWidget::frameSwapped, [&] {
        const double now = clock.nsecsElapsed() * 1e-6;
        lastSwap = now;
        if (!dragging || !set.hasCurrentCurve() || set.selectedControlPoint() < 0)
            return;
        swaps.push_back(now);
        const long due = long(now / kStepMs); // where the hand is now
        const QPointF shown =
            pixelOf(set.curve(set.current_curve).controlPoint(set.selectedControlPoint()));
        const QPointF gap = handAt(due) - shown;
        trails.push_back(std::hypot(gap.x(), gap.y()));
    });

    for (auto _ : state) {
        constexpr double kDragMs = 3000.0;
        swaps.clear();
        trails.clear();
        handStep = 0;
        dragging = true;
        clock.start();
        long moves = 0;
        // Every turn of the event loop posts the moves whose time has come.
        while (clock.nsecsElapsed() * 1e-6 < kDragMs) {
            const long due = long(clock.nsecsElapsed() * 1e-6 / kStepMs);
            for (; handStep < due; ++moves)
                postMouse(viewer, QEvent::MouseMove, handAt(++handStep), Qt::NoButton,
                          Qt::LeftButton);
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 2);
        }
        const double lastMove = clock.nsecsElapsed() * 1e-6;
        dragging = false;
        const long framesWhileDragging = long(swaps.size());
        const double restFrame = lastFrameBeforeQuiet(clock, lastSwap, 500);
        const double released = clock.nsecsElapsed() * 1e-6;
        postMouse(viewer, QEvent::MouseButtonRelease, handAt(handStep), Qt::LeftButton,
                  Qt::NoButton);
        lastSwap = -1.0;
        const double releaseFrame = lastFrameBeforeQuiet(clock, lastSwap, 500);

        state.SetIterationTime(kDragMs * 1e-3);
        std::vector<double> intervals;
        for (size_t i = 1; i < swaps.size(); ++i)
            intervals.push_back(swaps[i] - swaps[i - 1]);
        state.counters["frames_per_second"] = framesWhileDragging / (lastMove * 1e-3);
        state.counters["frame_ms"] = median(intervals);
        state.counters["moves_per_frame"] =
            framesWhileDragging > 0 ? double(moves) / framesWhileDragging : 0.0;
        state.counters["trail_px"] = median(trails);
        state.counters["trail_max_px"] =
            trails.empty() ? 0.0 : *std::max_element(trails.begin(), trails.end());
        state.counters["rest_ms"] = std::max(0.0, restFrame - lastMove);
        state.counters["release_ms"] = releaseFrame < 0 ? 0.0 : releaseFrame - released;
        state.counters["curves"] = set.nb_curves;
        const double bare = 0.5 * (bareBefore + barePassMs(viewer));
        state.counters["bare_pass_ms"] = bare;
        state.counters["frame_bare"] = median(intervals) / bare;
    }
    QObject::disconnect(counting);
}
BENCHMARK(BM_DragFrames)
    ->ArgNames({"curves", "overlay"})
    ->Args({2, 0})
    ->Args({100, 0})
    ->Args({1500, 0})
    ->Args({1500, 1})
    ->Args({1500, 2})
    ->Args({10000, 0})
    ->Args({50000, 0})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_KeyframeExport(benchmark::State& state)
{
    QTemporaryDir folder;
    QStringList files;
    for (int k = 0; k < 3; ++k) {
        files << folder.filePath(QString("key%1.xml").arg(k));
        CurveSet set = makeRandomDrawing(100, 7u);
        for (int c = 0; c < set.nb_curves; ++c)
            for (int i = 0; i < set.curve(c).nb_control_points; ++i)
                set.curves[c].control_points[i].x += 0.05 * k;
        saveXml(set, files.back());
    }
    Viewer viewer;
    if (!showViewer(viewer)) {
        state.SkipWithError("no GL viewer");
        return;
    }
    auto dialogs = std::make_unique<FixedFiles>();
    dialogs->names = files;
    viewer.setDialogs(std::move(dialogs));
    ExportCommands exports(viewer);

    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    std::ostringstream console;
    std::streambuf* oldOut = std::cout.rdbuf(console.rdbuf());
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        exports.interpolate();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    std::cout.rdbuf(oldOut);
    QDir::setCurrent(previous);
    if (console.str().find("done!") == std::string::npos)
        state.SkipWithError("the export did not finish");
    state.counters["frames_per_second"] = 52.0 * state.iterations() / seconds;
}
BENCHMARK(BM_KeyframeExport)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return runWidgetBenchmarks(argc, argv); }
