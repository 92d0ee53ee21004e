#pragma once

#include "gl_session.h"

class DiffusionSolver;

// Qt's own debug lines and warnings (such as an unset XDG_RUNTIME_DIR) are diagnostics: printed
// only when `shown` (--verbose). Its critical and fatal messages are errors and always printed.
void routeQtMessages(bool shown);

// Starts the GL session (see startGlSession); -1 when it runs, else the exit status after the
// reason is printed as "PROGRAM: reason" (tool_exit::kNoGl).
int startToolGl(int& argc, char** argv, GlSession* session, const char* program);

// Initialises `solver` (of the editor's canvas size) and the curve rendering, in the current
// context; -1 when ready, else the exit status after the reason is printed: kNoGl when the GL
// lacks what the solver needs, kBadShaders when a shader file is missing or broken.
int startToolSolver(DiffusionSolver& solver, const char* program);
