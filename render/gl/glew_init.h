#pragma once

class QString;

// Initialises GLEW in the current context: with glewExperimental set, so that every entry point
// the driver exports is loaded whatever its extension string says, and with the GL error that
// glewInit may leave behind on some drivers cleared. False with *error (when not null) set to
// "cannot initialise GLEW: " and GLEW's reason on failure; the context stays usable for what
// needs no extension.
bool initGlew(QString* error);

// initGlew in a context made without X (EGL): GLEW as Debian builds it loads the GL entry
// points, then reports GLEW_ERROR_NO_GLX_DISPLAY for want of a GLX display, which only says
// that the GLX extensions, unused here, were not loaded.
bool initGlewWithoutGlx(QString* error);

// The set-up of the editor window's context once it exists, before the renderer initialises:
// initGlew, then the depth test and lighting off and identity projection and model-view, the
// model-view selected. The set-up is done whether or not GLEW initialised; false with *error set
// as initGlew does when it did not.
bool initEditorContext(QString* error);
