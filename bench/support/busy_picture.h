#pragma once

// A photo-like picture that traces into a dense drawing (about 1500 curves from 2500 shapes at
// the tracer's most detail): the landscape of landscape_picture.h under soft-shaded shapes.
#include "landscape_picture.h"

#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>

#include <cmath>
#include <random>

// A photo-like picture busier than the landscape: `shapes` soft-shaded ellipses and polygons of
// random colours over a graded sky, with film grain, from a fixed seed.
inline QImage makeBusyPicture(int size, int shapes, unsigned seed = 2026u)
{
    QImage image = makeLandscapePicture(size, seed);
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> channel(20, 235);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int k = 0; k < shapes; ++k) {
        const QColor colour(channel(random), channel(random), channel(random));
        const double x = unit(random) * size, y = unit(random) * size;
        const double r = size * (0.01 + 0.05 * unit(random) * unit(random));
        QRadialGradient shade(QPointF(x - r / 3, y - r / 3), 2 * r);
        shade.setColorAt(0.0, colour.lighter(130));
        shade.setColorAt(1.0, colour.darker(140));
        painter.setBrush(shade);
        if (k % 2 == 0) {
            painter.drawEllipse(QPointF(x, y), r, r * (0.5 + unit(random)));
        } else {
            QPolygonF polygon;
            for (int i = 0; i < 5; ++i) {
                const double a = i * 2 * M_PI / 5 + unit(random);
                polygon << QPointF(x + r * std::cos(a), y + r * std::sin(a));
            }
            painter.drawPolygon(polygon);
        }
    }
    return image;
}
