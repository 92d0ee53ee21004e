// tintweave-render composites a drawing's layers: a file whose curves lie in one layer element
// renders as the same curves without it, and a hidden layer adds nothing to the picture.
#include "tool_runner.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A third curve, in a layer of its own.
const char kOther[] =
    "<curve><control_points_set><control_point x=\"40\" y=\"250\"/><control_point x=\"200\" "
    "y=\"240\"/><control_point x=\"330\" y=\"260\"/><control_point x=\"480\" y=\"250\"/>"
    "</control_points_set><left_colors_set><left_color B=\"0\" G=\"0\" R=\"0\" "
    "globalID=\"0\"/></left_colors_set><right_colors_set><right_color B=\"255\" G=\"255\" "
    "R=\"255\" globalID=\"0\"/></right_colors_set></curve>";

class RenderLayers : public ::testing::Test {
protected:
    // The picture tintweave-render makes of a file holding `xml`, at `size`.
    QImage rendered(const QByteArray& xml, const char* size)
    {
        const QString in = dir.filePath(QStringLiteral("in.xml"));
        const QString out = dir.filePath(QStringLiteral("out.png"));
        QFile file(in);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(xml);
        file.close();
        const ToolRun run =
            runProgram(QStringLiteral("tintweave-render"), {"--size", size, in, out});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return QImage(out).convertToFormat(QImage::Format_RGBA8888);
    }
    QTemporaryDir dir;
};

const QByteArray kHead = "<curve_set image_width=\"512\" image_height=\"512\" nb_curves=\"";

TEST_F(RenderLayers, OneLayerElementAndAHiddenLayerChangeNothing)
{
    for (const char* size : {"512", "256"}) { // the editor's solver, and the export solver's
        SCOPED_TRACE(size);
        const QImage plain = rendered(kHead + "2\">" + kCrossingCurves + "</curve_set>", size);
        ASSERT_FALSE(plain.isNull());
        const QImage wrapped =
            rendered(kHead
                         + "2\"><layer name=\"Ink\" nb_curves=\"2\" visible=\"1\" "
                           "opacity=\"1\">"
                         + kCrossingCurves + "</layer></curve_set>",
                     size);
        EXPECT_EQ(wrapped, plain);
        const QImage hidden =
            rendered(kHead
                         + "3\"><layer name=\"Ink\" nb_curves=\"2\" visible=\"1\" "
                           "opacity=\"1\">"
                         + kCrossingCurves
                         + "</layer><layer name=\"Hidden\" nb_curves=\"1\" visible=\"0\" "
                           "opacity=\"1\">"
                         + kOther + "</layer></curve_set>",
                     size);
        // Two layers are composited (the hidden one skipped): the same picture within a level.
        ASSERT_EQ(hidden.size(), plain.size());
        int worst = 0;
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                const QColor a = hidden.pixelColor(x, y), b = plain.pixelColor(x, y);
                worst =
                    std::max({worst, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                              std::abs(a.blue() - b.blue()), std::abs(a.alpha() - b.alpha())});
            }
        }
        EXPECT_LE(worst, 1);
    }
}

} // namespace
