// The interactive paths of the viewer as a user feels them, on the real widget under Xvfb:
// - BM_ControlPointDragMove: from a mouse-move event during a control-point drag to the frame
//   that shows it re-solved (glFinish), with 100 curves; the counter median_ms is the median move.
// - BM_DragFramesPerSecond: the same drag with mouse moves arriving faster than the picture can
//   be solved (one move per turn of the event loop, for three seconds); the counter
//   frames_per_second is the rate of frames drawn, moves_per_frame how many moves each showed.
// - BM_KeyframeExport: keyframe export of three drawings of 100 curves (52 frames); the counter
//   frames_per_second is the export rate.
#include <GL/glew.h>

#include "curve_set.h"
#include "export_commands.h"
#include "viewer.h"
#include "viewer_settings.h"
#include "viewer_dialogs.h"
#include "curve_set_xml.h"

#include "widget_bench_main.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <random>
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
};

// 100 two-segment curves spread over the canvas, coloured at random, shifted by `shift`.
CurveSet hundredCurves(double shift, unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> coordinate(-0.85, 0.85);
    std::uniform_int_distribution<int> channel(0, 255);
    CurveSet set;
    for (int c = 0; c < 100; ++c) {
        Curve curve(QColor(channel(random), channel(random), channel(random)),
                    QColor(channel(random), channel(random), channel(random)), 0);
        const double x = coordinate(random) + shift;
        const double y = coordinate(random);
        for (int i = 0; i < 7; ++i)
            curve.appendControlPoint(x + 0.02 * i, y + 0.05 * std::sin(i + c));
        for (int g : {0, 20}) {
            curve.appendLeftColor(g, true);
            curve.appendRightColor(g, true);
            curve.appendBlur(g, true);
        }
        curve.updateBoundingBox();
        set.addCurve(curve);
    }
    return set;
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

void sendMouse(Viewer& viewer, QEvent::Type type, const QPoint& pos, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(pos), QPointF(viewer.mapToGlobal(pos)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(&viewer, &event);
}

QPoint pixelOf(const Point& p)
{
    return QPoint(qRound((p.x + 1.0) * 256), qRound((1.0 - p.y) * 256));
}

void BM_ControlPointDragMove(benchmark::State& state)
{
    Viewer viewer;
    if (!showViewer(viewer)) {
        state.SkipWithError("no GL viewer");
        return;
    }
    viewer.document() = hundredCurves(0.0);
    viewer.settings().setLifetimeThreshold(0); // full solve of the drawing
    viewer.changeManipMode(ModeMovePoint);

    // First click chooses curve 0, the press on its first key point starts the drag.
    const Curve& curve = viewer.document().curve(0);
    const QPoint keyPoint = pixelOf(curve.controlPoint(0));
    const QPoint onCurve = pixelOf(curve.pointAt(0.5, 0));
    sendMouse(viewer, QEvent::MouseButtonPress, onCurve, Qt::LeftButton, Qt::LeftButton);
    sendMouse(viewer, QEvent::MouseButtonRelease, onCurve, Qt::LeftButton, Qt::NoButton);
    sendMouse(viewer, QEvent::MouseButtonPress, keyPoint, Qt::LeftButton, Qt::LeftButton);
    if (viewer.document().selectedControlPoint() != 0) {
        state.SkipWithError("the drag did not pick the key point");
        return;
    }

    std::vector<double> milliseconds;
    int step = 0;
    for (auto _ : state) {
        const QPoint to = keyPoint + QPoint(step % 20, (step / 20) % 20);
        ++step;
        const long framesBefore = viewer.framesDrawn();
        const auto start = std::chrono::steady_clock::now();
        sendMouse(viewer, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        while (viewer.framesDrawn() == framesBefore)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        viewer.makeCurrent();
        glFinish();
        viewer.doneCurrent();
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(elapsed);
        milliseconds.push_back(elapsed * 1000.0);
    }
    sendMouse(viewer, QEvent::MouseButtonRelease, keyPoint, Qt::LeftButton, Qt::NoButton);
    std::sort(milliseconds.begin(), milliseconds.end());
    if (!milliseconds.empty())
        state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
}
BENCHMARK(BM_ControlPointDragMove)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);

void BM_DragFramesPerSecond(benchmark::State& state)
{
    Viewer viewer;
    if (!showViewer(viewer)) {
        state.SkipWithError("no GL viewer");
        return;
    }
    viewer.document() = hundredCurves(0.0);
    viewer.settings().setLifetimeThreshold(0);
    viewer.changeManipMode(ModeMovePoint);
    const Curve& curve = viewer.document().curve(0);
    const QPoint keyPoint = pixelOf(curve.controlPoint(0));
    const QPoint onCurve = pixelOf(curve.pointAt(0.5, 0));
    sendMouse(viewer, QEvent::MouseButtonPress, onCurve, Qt::LeftButton, Qt::LeftButton);
    sendMouse(viewer, QEvent::MouseButtonRelease, onCurve, Qt::LeftButton, Qt::NoButton);
    sendMouse(viewer, QEvent::MouseButtonPress, keyPoint, Qt::LeftButton, Qt::LeftButton);
    if (viewer.document().selectedControlPoint() != 0) {
        state.SkipWithError("the drag did not pick the key point");
        return;
    }
    for (auto _ : state) {
        const long firstFrame = viewer.framesDrawn();
        int moves = 0;
        const auto start = std::chrono::steady_clock::now();
        auto elapsed = [&start] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };
        while (elapsed() < 3.0) {
            sendMouse(viewer, QEvent::MouseMove, keyPoint + QPoint(moves % 40, (moves / 40) % 40),
                      Qt::NoButton, Qt::LeftButton);
            ++moves;
            QApplication::processEvents();
        }
        viewer.makeCurrent();
        glFinish();
        viewer.doneCurrent();
        const double seconds = elapsed();
        state.SetIterationTime(seconds);
        const double frames = double(viewer.framesDrawn() - firstFrame);
        state.counters["frames_per_second"] = frames / seconds;
        state.counters["moves_per_frame"] = frames > 0 ? moves / frames : 0.0;
    }
    sendMouse(viewer, QEvent::MouseButtonRelease, keyPoint, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_DragFramesPerSecond)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_KeyframeExport(benchmark::State& state)
{
    QTemporaryDir folder;
    QStringList files;
    for (int k = 0; k < 3; ++k) {
        files << folder.filePath(QString("key%1.xml").arg(k));
        saveXml(hundredCurves(0.05 * k), files.back());
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
