#pragma once

// The drawing of a traced photo for the drag benchmarks.
#include "bitmap_tracer.h"
#include "busy_picture.h"
#include "curve_set.h"

// The busy picture of 512 x 512 pixels under 2500 shapes, traced with the most detail: about
// 1500 curves.
inline CurveSet makeTracedPhotoDrawing()
{
    TraceSettings settings;
    settings.detail = 1.0;
    settings.sensitivity = 0.9;
    return traceBitmap(makeBusyPicture(512, 2500), settings).drawing;
}
