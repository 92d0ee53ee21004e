#include "image_pass.h"

#include "solver_gl.h"

void runImagePass(const ImagePass& pass, const RenderTarget& target)
{
    runImagePass(pass, target.framebuffer, target.width(), target.height());
}

void runImagePass(const ImagePass& pass, const Framebuffer& target, int width, int height)
{
    if (!pass.program.isLinked())
        return;
    target.bind();
    glViewport(0, 0, width, height);
    for (int unit = int(pass.inputs.size()) - 1; unit >= 0; --unit) {
        if (pass.inputs[size_t(unit)])
            pass.inputs[size_t(unit)]->bind(unit);
    }
    pass.program.use();
    for (const PassUniform& uniform : pass.uniforms)
        pass.program.setFloat(uniform.name, uniform.value);
    solvergl::drawFullScreenQuad(pass.depth);
    ShaderProgram::release();
}
