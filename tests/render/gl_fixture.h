#pragma once

// Shared GL set-up of the render tests. main.cpp creates the application object and one
// offscreen compatibility-profile context with depth 24 and stencil 8 (OffscreenContext of the
// render library, GLEW initialised), and keeps it current for the whole run. Tests that draw
// derive their fixture from GlTest.
// Include this header before any Qt OpenGL header (it pulls in GLEW, which must come first).

#include <GL/glew.h>

#include <gtest/gtest.h>

// True once the shared context exists, is current and GLEW is initialised.
bool testContextReady();
// Makes the shared context current again (a test may have released it); false without one.
bool makeTestContextCurrent();

// Fixture for tests that need GL: fails the test at once when there is no usable context, and
// checks that the test left no GL error behind.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(makeTestContextCurrent()) << "no usable offscreen GL context";
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override
    {
        if (testContextReady()) {
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "the test left a GL error";
        }
    }
};
