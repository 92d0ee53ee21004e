#include "point.h"

#include <cmath>

double Point::norm() const { return std::hypot(x, y); }

void Point::normalize()
{
    const double n = norm();
    if (n > 0.0 && std::isfinite(n)) {
        x /= n;
        y /= n;
    }
}

Point unit(const Point& v)
{
    Point u = v;
    const double n = v.norm();
    if (!(n > 0.0) || !std::isfinite(n))
        return Point();
    u.normalize();
    return u;
}

bool near(const Point& a, const Point& b, double eps)
{
    return std::abs(a.x - b.x) <= eps && std::abs(a.y - b.y) <= eps;
}
