#include "canvas_placement.h"

#include <gtest/gtest.h>

#include <cmath>

// A wide widget with a zoomed and panned view: widget pixels and canvas positions map both ways.
TEST(CanvasPlacement, WidgetPositionInvertsModelPositionInTheCentredSquare)
{
    const View view{4.0, Point(0.25, -0.125)};
    const CanvasPlacement placement(QSize(800, 500), 1.0, view);
    EXPECT_EQ(placement.canvasRect(), QRect(150, 0, 500, 500));
    // The square's centre shows canvas point -pan; its top left corner ndc (-1, 1).
    const Point centre = placement.modelPosition(400, 250);
    EXPECT_DOUBLE_EQ(centre.x, -0.25);
    EXPECT_DOUBLE_EQ(centre.y, 0.125);
    const Point corner = placement.modelPosition(150, 0);
    EXPECT_DOUBLE_EQ(corner.x, -1.0 / 4.0 - 0.25);
    EXPECT_DOUBLE_EQ(corner.y, 1.0 / 4.0 + 0.125);
    for (const QPointF pixel : {QPointF(151.5, 3.25), QPointF(640.0, 499.0), QPointF(20.0, 40.0)}) {
        const Point p = placement.modelPosition(pixel.x(), pixel.y());
        const QPointF back = placement.widgetPosition(p);
        EXPECT_NEAR(back.x(), pixel.x(), 1e-9);
        EXPECT_NEAR(back.y(), pixel.y(), 1e-9);
    }
}

// The GL viewport is in device pixels with rows counted from the bottom of the widget.
TEST(CanvasPlacement, ViewportIsInDevicePixelsFromTheBottom)
{
    const CanvasPlacement tall(QSize(300, 500), 2.0, View());
    EXPECT_EQ(tall.canvasRect(), QRect(0, 100, 300, 300));
    EXPECT_EQ(tall.canvasViewport(), QRect(0, 200, 600, 600));
    // An empty widget still has a canvas of one pixel.
    EXPECT_EQ(CanvasPlacement(QSize(0, 0), 1.0, View()).canvasRect().width(), 1);
}
