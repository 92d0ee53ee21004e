#pragma once

// Shared pieces of the PDF tests: running a PDF reader, and comparing pictures.

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace pdftest {

// A program started in the background, so that the test's own work overlaps it.
class BackgroundRun {
public:
    BackgroundRun(const QString& program, const QStringList& arguments) : program(program)
    {
        process.start(program, arguments);
    }
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;
    ~BackgroundRun()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    // Its standard output, or a null array when it did not end with status 0 within four
    // minutes (*error says why). Poppler draws a large smooth mesh in about 15 s of a core at
    // 2048 pixels; the limit leaves room for a loaded machine.
    QByteArray finish(QString* error)
    {
        if (!process.waitForFinished(240000) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0) {
            *error = program + ": " + process.errorString() + " "
                     + QString::fromLocal8Bit(process.readAllStandardError());
            return QByteArray();
        }
        const QByteArray out = process.readAllStandardOutput();
        return out.isNull() ? QByteArray("") : out;
    }

private:
    QString program;
    QProcess process;
};

// Runs `program` with `arguments` to its end; see BackgroundRun::finish.
inline QByteArray runProgram(const QString& program, const QStringList& arguments, QString* error)
{
    return BackgroundRun(program, arguments).finish(error);
}

// Largest channel difference between pixel (x, row) of two pictures, in 1/255 levels.
inline int pixelDistance(const QImage& a, const QImage& b, int x, int row)
{
    const QRgb p = a.pixel(x, row), q = b.pixel(x, row);
    return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                     std::abs(qBlue(p) - qBlue(q))});
}

// PSNR in dB over every channel of every pixel (8-bit peak); 99 for equal pictures.
inline double psnr(const QImage& a, const QImage& b)
{
    double sum = 0.0;
    for (int row = 0; row < a.height(); ++row)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, row), q = b.pixel(x, row);
            const int d[3] = {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)};
            for (int c : d)
                sum += double(c) * c;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse > 0.0 ? 10.0 * std::log10(255.0 * 255.0 / mse) : 99.0;
}

// The `fraction` quantile (0 .. 1) of the pixel distances over the pixels `where` marks
// (rows top first); -1 when none is marked.
inline double distanceQuantile(const QImage& a, const QImage& b, const std::vector<bool>& where,
                               double fraction)
{
    std::vector<int> distances;
    for (int row = 0; row < a.height(); ++row)
        for (int x = 0; x < a.width(); ++x)
            if (where[size_t(row) * a.width() + x])
                distances.push_back(pixelDistance(a, b, x, row));
    if (distances.empty())
        return -1.0;
    const size_t k = std::min(distances.size() - 1, size_t(fraction * distances.size()));
    std::nth_element(distances.begin(), distances.begin() + long(k), distances.end());
    return distances[k];
}

} // namespace pdftest
