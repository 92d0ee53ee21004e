// The one GL_SELECT pass of the editor: the curve set's named drawing inside a pick square.
#include "gl_api.h"

#include "picker.h"

#include "curve_drawing.h"
#include "curve_gl_state.h"
#include "curve_set.h"

#include <QtGlobal>

#include <algorithm>
#include <vector>

namespace {

// Buffer of the retry after an overflow: 4096 records, far more than a drawing names.
constexpr int kLargePickBufferEntries = 4 * 4096;

// Runs one selection pass into `buffer`; returns glRenderMode's hit count (negative on overflow).
int selectPass(const CurveSet& set, const PickQuery& query, std::vector<GLuint>& buffer)
{
    std::fill(buffer.begin(), buffer.end(), 0u);
    glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
    GLint viewport[4] = {query.viewport[0], query.viewport[1], query.viewport[2],
                         query.viewport[3]};
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(query.x, query.y, query.region, query.region, viewport);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    multiplyViewTransform(query.view);
    drawForPicking(set, query.mode, query.purpose);
    glLoadIdentity();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    const int hits = glRenderMode(GL_RENDER);
    glMatrixMode(GL_MODELVIEW);
    return hits;
}

} // namespace

void PickQuery::atWidgetPixel(double mx, double my, int width, int height, double ratio,
                              double edge)
{
    x = mx * ratio;
    y = (height - my) * ratio;
    region = edge * ratio;
    viewport[0] = 0;
    viewport[1] = 0;
    viewport[2] = qRound(width * ratio);
    viewport[3] = qRound(height * ratio);
}

void PickQuery::setViewport(int x0, int y0, int width, int height)
{
    viewport[0] = x0;
    viewport[1] = y0;
    viewport[2] = width;
    viewport[3] = height;
}

QVector<unsigned> hitRecordNames(const unsigned* buffer, int size, int hitCount)
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

PickHits pickCurveSet(const CurveSet& set, const PickQuery& query)
{
    std::vector<GLuint> buffer(kPickBufferEntries);
    int hits = selectPass(set, query, buffer);
    if (hits < 0) {
        buffer.assign(kLargePickBufferEntries, 0u);
        hits = selectPass(set, query, buffer);
    }
    PickHits result;
    if (hits <= 0)
        return result;
    result.names = hitRecordNames(buffer.data(), static_cast<int>(buffer.size()), hits);
    PickContext context;
    context.mode = query.mode;
    context.purpose = query.purpose;
    context.currentCurve = curvegl::isCurveIndex(set, set.current_curve) ? set.current_curve : -1;
    for (unsigned name : result.names)
        result.hits.append(decodePickName(name, context));
    return result;
}
