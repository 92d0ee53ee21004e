#pragma once

class Curve;

// Changing the key points of a curve: inserting, deleting and splitting, with the attribute
// points remapped to the new segments.

// index = 3s + 2 for segment s; t is the parameter of the new key point within s. Replaces
// segment s by two segments meeting at (x, y) that follow the old shape, and moves attribute
// points at or after the end of s one segment (10) further. Does nothing unless index names a
// segment (1 < index < nb_control_points, index mod 3 = 2) and x, y, t are finite.
void insertControlPoint(Curve& curve, double x, double y, int index, double t);
// Removes the key point that control point `index` belongs to (a tangent point counts for its
// key point). At an end the whole end segment goes and the end values are re-read at the new
// end; in the middle the two segments become one and their attribute points share its range in
// order. Does nothing on a curve without a segment. Deleting the only segment leaves a single
// control point: the curve set discards such a curve.
void deleteControlPoint(Curve& curve, int index);
// Open curve: fills newCurve with the part after the new key point and returns true. Closed
// curve: opens it at the new key point and returns false. Both add the attribute values at the
// cut to each list. Invalid index (as for insertControlPoint): nothing happens, false, newCurve
// untouched.
bool split(Curve& curve, double x, double y, int index, double t, Curve& newCurve);
