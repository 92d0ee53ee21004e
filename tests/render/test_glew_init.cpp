// GLEW initialisation and the set-up of the editor's context.
#include "gl_fixture.h"

#include "glew_init.h"

#include <QString>

#include <gtest/gtest.h>

class EditorContext : public GlTest {};

TEST_F(EditorContext, GlewLoadsTheEntryPointsAndTheStateIsTheEditorsStart)
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glTranslated(0.5, 0.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glScaled(2.0, 2.0, 1.0);
    glMatrixMode(GL_PROJECTION);

    QString error = "untouched";
    ASSERT_TRUE(initEditorContext(&error));
    EXPECT_EQ(error, "untouched");
    // Entry points of the extensions the renderer uses are loaded.
    EXPECT_NE(glGenFramebuffersEXT, nullptr);
    EXPECT_NE(glCreateShader, nullptr);
    EXPECT_NE(glActiveTexture, nullptr);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    for (GLenum which : {GL_PROJECTION_MATRIX, GL_MODELVIEW_MATRIX}) {
        double m[16];
        glGetDoublev(which, m);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(m[i], i % 5 == 0 ? 1.0 : 0.0) << "matrix " << which << " entry " << i;
    }
    // No GL error is left behind by the initialisation (the fixture checks at tear-down too).
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
