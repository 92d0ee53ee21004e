#pragma once

// A plane point or vector in canvas coordinates (x to the right, y up). Also used for tangents,
// normals and displacements.
class Point {
public:
    Point() = default;
    Point(double x, double y) : x(x), y(y) {}
    Point(const Point&) = default;
    Point& operator=(const Point&) = default;
    virtual ~Point() = default;

    Point operator+(const Point& o) const { return {x + o.x, y + o.y}; }
    Point operator-(const Point& o) const { return {x - o.x, y - o.y}; }
    Point operator*(double s) const { return {x * s, y * s}; }
    Point& operator+=(const Point& o)
    {
        x += o.x;
        y += o.y;
        return *this;
    }
    Point& operator-=(const Point& o)
    {
        x -= o.x;
        y -= o.y;
        return *this;
    }
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Point& o) const { return !(*this == o); }

    // Euclidean length, through hypot so that large coordinates do not overflow.
    double norm() const;
    // Divides both coordinates by norm(). A zero vector is left as it is (no NaN).
    void normalize();

    double x = 0.0;
    double y = 0.0;
};

inline Point operator*(double s, const Point& p) { return p * s; }

// Dot product of two vectors.
inline double dot(const Point& a, const Point& b) { return a.x * b.x + a.y * b.y; }

// The unit vector along v, or (0, 0) when v has zero length.
Point unit(const Point& v);

// True when a and b are within eps of each other in both coordinates. Kept apart from ==.
bool near(const Point& a, const Point& b, double eps);
