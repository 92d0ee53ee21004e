// The render tests' entry point (an application object and one shared offscreen GL context),
// for the GL tests of this suite too.
#include "../render/main.cpp"
