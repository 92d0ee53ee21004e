#pragma once

#include "gouraud_mesh.h"

#include <QByteArray>
#include <QString>

#include <vector>

// A one-page PDF of `pageSize` x `pageSize` points whose page shows the canvas (-1 .. 1 on both
// axes, y up): each non-empty layer becomes one free-form Gouraud-shaded triangle mesh (PDF
// shading type 4, DeviceRGB, 24-bit coordinates and 16-bit colours), painted in order, inside
// its clip where it has one. Nothing else is drawn: no image, no text. Streams are compressed.
// Empty with the cause in *error (when given) if the document cannot be made.
QByteArray shadedPdf(const std::vector<ShadedLayer>& layers, double pageSize, QString* error);
