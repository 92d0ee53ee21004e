#include "gl_fixture.h"

#include "console_diagnostics.h"
#include "gl_objects.h"
#include "image_pass.h"
#include "program_catalogue.h"
#include "shader_program.h"
#include "shader_constants.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <string>

namespace {

// The sweep with a "weight" uniform the uniform lookups are tried on.
const char* const kBarePassFragment = programEntry(ProgramId::BarePass).fragment;

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

// Both variants of every program: with and without the opacity among the diffused channels.
TEST_F(ShaderProgramTest, EveryShippedProgramCompilesAndLinks)
{
    for (int id = 0; id < 2 * kProgramCount; ++id) {
        const ProgramEntry& files = programEntry(ProgramId(id % kProgramCount));
        const auto channels =
            id < kProgramCount ? DiffusedChannels::Colour : DiffusedChannels::ColourAndOpacity;
        ShaderProgram program;
        EXPECT_TRUE(createProgram(program, ProgramId(id % kProgramCount), channels))
            << files.fragment << ": " << program.log().constData();
        EXPECT_TRUE(program.log().isEmpty()) << files.fragment;
        // The catalogue's sampler units name samplers the program reads.
        testing::internal::CaptureStderr();
        for (const char* sampler : files.samplers) {
            if (sampler) {
                EXPECT_GE(program.uniformLocation(sampler), 0) << files.fragment << " " << sampler;
            }
        }
        testing::internal::GetCapturedStderr();
    }
}

// Every shader file shipped is read by some program of the catalogue (or is the prelude).
TEST_F(ShaderProgramTest, EveryShippedShaderFileBelongsToAProgram)
{
    QSet<QString> named = {QString::fromLatin1(kShaderPrelude)};
    for (int id = 0; id < kProgramCount; ++id) {
        named << QString::fromLatin1(programEntry(ProgramId(id)).vertex)
              << QString::fromLatin1(programEntry(ProgramId(id)).fragment);
    }
    const QDir root(QDir(shaderDirectory()).absolutePath());
    QDirIterator files(root.path(), QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    while (files.hasNext()) {
        const QString file = root.relativeFilePath(files.next());
        EXPECT_TRUE(named.contains(file)) << file.toStdString() << " is built by no program";
        ++count;
    }
    EXPECT_EQ(count, named.size());
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
    EXPECT_FALSE(program.load(shaderPath(kImagePassVertex), shaderPath("div.frag")));
    EXPECT_EQ(program.log(), QByteArray("program not created yet"));
    EXPECT_EQ(program.uniformLocation("gxMap"), -1);
}

TEST_F(ShaderProgramTest, UniformLookupsAreReportedOnce)
{
    ShaderProgram program;
    ASSERT_TRUE(program.create(shaderPath(kImagePassVertex), shaderPath(kBarePassFragment)));

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
    ASSERT_TRUE(program.create(shaderPath(kImagePassVertex), shaderPath(kBarePassFragment)));
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
    ASSERT_TRUE(program.create(shaderPath(kImagePassVertex), shaderPath(kBarePassFragment)));
    testing::internal::CaptureStderr();
    program.uniformLocation("weight");
    ASSERT_TRUE(program.load(shaderPath(kImagePassVertex), shaderPath(kBarePassFragment)));
    program.uniformLocation("weight");
    const std::string out = testing::internal::GetCapturedStderr();
    const std::string line = out.substr(0, out.find('\n') + 1);
    EXPECT_EQ(out, line + line);
}

} // namespace
