#include "picking.h"

#include "curve_drawing.h"
#include "curve_set.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <vector>

namespace {

// Buffer for the retry after an overflow: 4096 records, far more than a drawing names.
constexpr int kLargePickBufferSize = 4 * 4096;

// Runs one selection pass into `buffer`; returns glRenderMode's hit count (negative on overflow).
int selectPass(const CurveSet& set, const PickRequest& request, std::vector<GLuint>& buffer)
{
    std::fill(buffer.begin(), buffer.end(), 0u);
    glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
    glViewport(request.viewport[0], request.viewport[1], request.viewport[2], request.viewport[3]);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    GLint viewport[4] = {request.viewport[0], request.viewport[1], request.viewport[2],
                         request.viewport[3]};
    gluPickMatrix(request.x, request.y, request.region, request.region, viewport);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScaled(request.zoom, request.zoom, 0.0);
    glTranslated(request.panX, request.panY, 0.0);
    drawForPicking(set, request.mode, request.purpose);
    glLoadIdentity();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    const int hits = glRenderMode(GL_RENDER);
    glMatrixMode(GL_MODELVIEW);
    return hits;
}

} // namespace

QVector<unsigned> decodeHitRecords(const unsigned* buffer, int size, int hitCount)
{
    QVector<unsigned> names;
    int at = 0;
    for (int record = 0; record < hitCount; ++record) {
        if (at + 3 > size)
            break;
        const unsigned nameCount = buffer[at];
        // A record is the count, two depths and the names; stop at one that does not fit.
        if (nameCount > static_cast<unsigned>(size - at - 3))
            break;
        if (nameCount > 0)
            names.append(buffer[at + 3 + nameCount - 1]);
        at += 3 + static_cast<int>(nameCount);
    }
    return names;
}

PickResult pickItems(const CurveSet& set, const PickRequest& request)
{
    std::vector<GLuint> buffer(kPickBufferSize);
    int hits = selectPass(set, request, buffer);
    if (hits < 0) {
        buffer.assign(kLargePickBufferSize, 0u);
        hits = selectPass(set, request, buffer);
    }
    PickResult result;
    if (hits > 0)
        result.names = decodeHitRecords(buffer.data(), static_cast<int>(buffer.size()), hits);
    return result;
}
