#include "gl_fixture.h"

#include "console_diagnostics.h"
#include "gl_objects.h"
#include "image_pass.h"
#include "shader_program.h"
#include "shared_constants.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace {

// The programs of the renderer, as vertex/fragment file pairs and the definitions they are
// built with.
const char* const kPrograms[][3] = {
    {"color_constraints.vert", "color_constraints.frag"},
    {"img_process.vert", "div.frag"},
    {"img_process.vert", "jacobi_laplace.frag"},
    {"img_process.vert", "restrict.frag"},
    {"img_process.vert", "anisotropic_diffusion.frag"},
    {"img_process.vert", "restrict_color.frag"},
    {"img_process.vert", "blur_threshold.frag"},
    {"img_process.vert", "mg_pack_finest.frag"},
    {"img_process.vert", "mg_unpack_finest.frag"},
    {"img_process.vert", "mg_prolong_finest.frag"},
    {"img_process.vert", "mg_smooth_finest.frag"},
    {"img_process.vert", "mg_residual_finest.frag"},
    {"img_process.vert", "mg_smooth.frag"},
    {"img_process.vert", "mg_smooth_zero.frag"},
    {"img_process.vert", "mg_restrict_residual.frag"},
    {"img_process.vert", "mg_prolong.frag"},
    {"img_process.vert", "mg_prolong_smooth.frag"},
    {"img_process.vert", "mg_galerkin.frag"},
    {"img_process.vert", "mg_galerkin.frag", "#define FROM_MASK\n"},
    {"img_process.vert", "mg_pull.frag"},
    {"img_process.vert", "mg_push.frag"},
    {"img_process.vert", "mg_push.frag", "#define COARSEST\n"},
    {"img_process.vert", "mg_change_finest.frag"},
    {"img_process.vert", "mg_max_reduce.frag"},
    {"gradient_pair.vert", "gradient_pair.frag"},
    {"img_process.vert", "mg_coarsest.frag"},
    {"img_process.vert", "downsample.frag"},
    {"img_process.vert", "compose_channel.frag"},
};

void writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

const QByteArray kPassVertex = "#version 120\nvoid main() { gl_Position = gl_Vertex; }\n";
const QByteArray kGreyFragment =
    "#version 120\nuniform float level;\nvoid main() { gl_FragColor = vec4(level); }\n";

class ShaderProgramTest : public GlTest {};

// The red value `program` draws over a small float image.
float drawnValue(ShaderProgram& program)
{
    RenderTarget target;
    target.create(8, 8, floatNearest());
    runImagePass({program, {}, {}}, target);
    float texel[4] = {};
    glReadPixels(3, 5, 1, 1, GL_RGBA, GL_FLOAT, texel);
    bindFramebuffer(0);
    return texel[0];
}

TEST_F(ShaderProgramTest, EveryShippedProgramCompilesAndLinks)
{
    for (const auto& files : kPrograms) {
        ShaderProgram program;
        EXPECT_TRUE(program.create(shaderPath(files[0]), shaderPath(files[1]), files[2]))
            << files[1] << ": " << program.log().constData();
        EXPECT_TRUE(program.log().isEmpty());
    }
}

TEST_F(ShaderProgramTest, ShadersAreFoundUnderTheWorkingDirectoryFirst)
{
    // The tests run from the repository root, which holds shaders/.
    EXPECT_EQ(shaderDirectory(), QStringLiteral("shaders"));
    EXPECT_EQ(shaderPath("div.frag"), QByteArray("shaders/div.frag"));
}

TEST_F(ShaderProgramTest, MissingVertexFileIsReportedAndFragmentFileIsNotRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray vertex = QFile::encodeName(dir.filePath("img_process.vert"));
    // A fragment file that does not compile: were it read, the log would name it.
    const QByteArray fragment = QFile::encodeName(dir.filePath("div.frag"));
    writeFile(dir.filePath("div.frag"), "this is not GLSL");

    ShaderProgram program;
    EXPECT_FALSE(program.create(vertex, fragment));
    EXPECT_EQ(program.log(), "Cannot open file " + vertex);
}

TEST_F(ShaderProgramTest, CompileAndLinkFailuresCarryTheirMessages)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath("ok.vert"), kPassVertex);
    writeFile(dir.filePath("broken.frag"), "#version 120\nvoid main() { gl_FragColor = ; }\n");
    writeFile(dir.filePath("nomain.frag"), "#version 120\nvoid helper() {}\n");
    const QByteArray vertex = QFile::encodeName(dir.filePath("ok.vert"));
    const QByteArray broken = QFile::encodeName(dir.filePath("broken.frag"));

    ShaderProgram program;
    EXPECT_FALSE(program.create(vertex, broken));
    EXPECT_TRUE(program.log().startsWith("Shader " + broken + " compilation failure\n"))
        << program.log().constData();
    EXPECT_GT(program.log().size(), ("Shader " + broken + " compilation failure\n").size());

    EXPECT_FALSE(program.load(vertex, QFile::encodeName(dir.filePath("nomain.frag"))));
    EXPECT_TRUE(program.log().startsWith("Program linkage Error\n")) << program.log().constData();

    // A good load after failed ones clears the log.
    writeFile(dir.filePath("grey.frag"), kGreyFragment);
    EXPECT_TRUE(program.load(vertex, QFile::encodeName(dir.filePath("grey.frag"))));
    EXPECT_TRUE(program.log().isEmpty());
}

TEST_F(ShaderProgramTest, SharedConstantsAreDefinedAndLineNumbersKept)
{
    // The threshold of a fixed constraint texel, as the renderer's C++ side has it, written as a
    // colour; and a mistake on line 3 reported on line 3.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath("pass.vert"), kPassVertex);
    writeFile(dir.filePath("threshold.frag"),
              "#version 120\nvoid main() { gl_FragColor = vec4(CONSTRAINT_ALPHA_THRESHOLD); }\n");
    writeFile(dir.filePath("line3.frag"), "#version 120\n\nvoid main() { gl_FragColor = ; }\n");
    const QByteArray vertex = QFile::encodeName(dir.filePath("pass.vert"));
    ShaderProgram program;
    ASSERT_TRUE(program.create(vertex, QFile::encodeName(dir.filePath("threshold.frag"))))
        << program.log().constData();
    EXPECT_FLOAT_EQ(drawnValue(program), static_cast<float>(kConstraintAlphaThreshold));

    EXPECT_FALSE(program.load(vertex, QFile::encodeName(dir.filePath("line3.frag"))));
    EXPECT_NE(program.log().indexOf("0:3("), -1) << program.log().constData();
}

// One file, two variants: the definitions a program is created with choose its branch, stay
// with it when it is reloaded, and keep the file's line numbers.
TEST_F(ShaderProgramTest, DefinitionsMakeVariantsThatSurviveAReload)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath("pass.vert"), kPassVertex);
    writeFile(dir.filePath("variant.frag"), "#version 120\n#ifdef BRIGHT\nconst float v = 1.0;\n"
                                            "#else\nconst float v = 0.25;\n#endif\n"
                                            "void main() { gl_FragColor = vec4(v); }\n");
    writeFile(dir.filePath("line3.frag"),
              "#version 120\n#ifdef BRIGHT\nvoid main() { gl_FragColor = ; }\n#endif\n");
    const QByteArray vertex = QFile::encodeName(dir.filePath("pass.vert"));
    const QByteArray fragment = QFile::encodeName(dir.filePath("variant.frag"));
    ShaderProgram plain, bright;
    ASSERT_TRUE(plain.create(vertex, fragment)) << plain.log().constData();
    ASSERT_TRUE(bright.create(vertex, fragment, "#define BRIGHT\n")) << bright.log().constData();
    EXPECT_FLOAT_EQ(drawnValue(plain), 0.25f);
    EXPECT_FLOAT_EQ(drawnValue(bright), 1.0f);
    ASSERT_TRUE(bright.load(vertex, fragment));
    EXPECT_FLOAT_EQ(drawnValue(bright), 1.0f) << "after a reload";

    EXPECT_FALSE(bright.load(vertex, QFile::encodeName(dir.filePath("line3.frag"))));
    EXPECT_NE(bright.log().indexOf("0:3("), -1) << bright.log().constData();
}

TEST_F(ShaderProgramTest, LoadBeforeCreateIsRefused)
{
    ShaderProgram program;
    EXPECT_FALSE(program.load(shaderPath("img_process.vert"), shaderPath("div.frag")));
    EXPECT_EQ(program.log(), QByteArray("program not created yet"));
    EXPECT_EQ(program.uniformLocation("gxMap"), -1);
}

TEST_F(ShaderProgramTest, UniformLookupsAreReportedOnce)
{
    ShaderProgram program;
    ASSERT_TRUE(program.create(shaderPath("img_process.vert"), shaderPath("jacobi_laplace.frag")));

    // Shader diagnostics go to stderr: stdout stays free for a tool's output.
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const int unknownFirst = program.uniformLocation("noSuchUniform");
    const int unknownAgain = program.uniformLocation("noSuchUniform");
    const int weight = program.uniformLocation("weight");
    const int weightAgain = program.uniformLocation("weight");
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(unknownFirst, -1);
    EXPECT_EQ(unknownAgain, -1);
    EXPECT_GE(weight, 0);
    EXPECT_EQ(weightAgain, weight);
    EXPECT_EQ(err, "cannot get uniform location of noSuchUniform\nuniform location of weight = "
                       + std::to_string(weight) + "\n");
    EXPECT_EQ(out, "");
}

TEST_F(ShaderProgramTest, DiagnosticLinesGoWhereTheProgramSays)
{
    ShaderProgram program;
    ASSERT_TRUE(program.create(shaderPath("img_process.vert"), shaderPath("jacobi_laplace.frag")));
    testing::internal::CaptureStderr();
    setDiagnosticLines(DiagnosticLines::Off);
    program.uniformLocation("weight");
    program.uniformLocation("noSuchUniform");
    setDiagnosticLines(DiagnosticLines::Console);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(ShaderProgramTest, ReloadLooksUniformsUpAgain)
{
    ShaderProgram program;
    ASSERT_TRUE(program.create(shaderPath("img_process.vert"), shaderPath("jacobi_laplace.frag")));
    testing::internal::CaptureStderr();
    program.uniformLocation("weight");
    ASSERT_TRUE(program.load(shaderPath("img_process.vert"), shaderPath("jacobi_laplace.frag")));
    program.uniformLocation("weight");
    const std::string out = testing::internal::GetCapturedStderr();
    const std::string line = out.substr(0, out.find('\n') + 1);
    EXPECT_EQ(out, line + line);
}

} // namespace
