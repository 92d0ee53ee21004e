#pragma once

// The OpenGL API as the renderer uses it: GLEW's loader (core and extension entry points) and
// GLU (picking matrices, quadrics). The drawing and solver code include this header, never the
// system GL headers, so that one folder names them.

#include <GL/glew.h>
#include <GL/glu.h>
