#pragma once

#include "gouraud_mesh.h"

#include <QByteArray>
#include <QString>

#include <vector>

// A one-page PDF of `pageSize` x `pageSize` points whose page shows the canvas (-1 .. 1 on both
// axes, y up), drawn with free-form Gouraud-shaded triangle meshes (PDF shading type 4, 24-bit
// coordinates, 16-bit colours), each layer inside its clip where it has one. The per-channel
// layers are painted first, in order, the others over them, in order:
// - per-channel layers: on a black page, three isolated transparency groups, one per channel,
//   composited by the Lighten blend mode (the maximum of each channel, so exactly that channel);
//   each group paints the layers as parametrised shadings whose parameter t is the channel's
//   value and whose function gives (t, 0, 0), (0, t, 0) or (0, 0, t). Readers interpolate t at
//   every pixel, whereas an RGB mesh may be filled flat in pieces (poppler subdivides each
//   triangle until its corners are 3/256 apart and fills the pieces with a corner's colour).
// - the others: one DeviceRGB shading each, painted normally.
// Nothing else is drawn: no image, no text. Streams are compressed.
// Empty with the cause in *error (when given) if the document cannot be made.
QByteArray shadedPdf(const std::vector<ShadedLayer>& layers, double pageSize, QString* error);
