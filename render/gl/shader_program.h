#pragma once

#include <QByteArray>
#include <QString>

#include <map>

// One GLSL program made of a vertex and a fragment shader read from text files, with cached
// uniform lookup. Needs a current GL context with GLEW initialised for every operation except
// construction. The GL shader and program objects are not deleted by the destructor: they live
// as long as the context (several programs are created once at start-up and kept).
//
// Messages: every failure is a false result plus the text of log(); the creator prints it.
class ShaderProgram {
public:
    ShaderProgram() = default;

    // Creates the two shader objects and the program, attaches them and returns load(...).
    // Calling it again on a created program only reloads the sources. `definitions` (lines such
    // as "#define NAME\n") go into both sources after their #version line, on every load: one
    // file can make variants whose choices the compiler folds, where a branch on a uniform
    // would leave a software GL running both sides.
    bool create(const QByteArray& vertexPath, const QByteArray& fragmentPath,
                const QByteArray& definitions = QByteArray());

    // Compiles both files into the existing objects and links. The fragment file is read only
    // when the vertex file compiled; only regular files are read. On failure log() holds
    // "Cannot open file <path>" (followed by ": <reason>" for a file that exists but cannot be
    // read, such as a FIFO),
    // "Shader <path> compilation failure\n<info log>", "Program linkage Error\n<info log>" or
    // "program not created yet". On success log() is empty and the uniform cache is emptied.
    bool load(const QByteArray& vertexPath, const QByteArray& fragmentPath);

    // Makes this program current. Does nothing unless the last load linked (an unlinked
    // program would only raise a GL error); the caller's drawing then runs without a program.
    void use() const;
    // Makes no program current.
    static void release();

    const QByteArray& log() const { return lastLog; }
    bool isCreated() const { return created; }
    // True when the last load compiled and linked both files.
    bool isLinked() const { return linked; }

    // Location of a uniform, looked up once per name and cached (-1 too). The first lookup
    // prints "uniform location of <name> = <loc>", or "cannot get uniform location of <name>"
    // for -1, on stderr (see console_diagnostics.h: command-line programs print them only when
    // asked). Returns -1 before create.
    int uniformLocation(const QByteArray& name);

    // Sets a sampler (texture unit), float or vec3 uniform of this program, which must be in
    // use. Unknown names are reported once (see uniformLocation) and otherwise ignored.
    void setSampler(const QByteArray& name, int unit);
    void setFloat(const QByteArray& name, float value);
    void setVec3(const QByteArray& name, float x, float y, float z);

private:
    bool compileFile(const QByteArray& path, unsigned int shader, QByteArray& log);

    bool created = false;
    bool linked = false;
    unsigned int vertexShader = 0;
    unsigned int fragmentShader = 0;
    unsigned int program = 0;
    std::map<QByteArray, int> uniformCache;
    QByteArray extraDefinitions;
    QByteArray lastLog;
};

// Directory the shader files are read from, tried in this order: "shaders" under the working
// directory, then beside the running program (<exe dir>/shaders, <exe dir>/../shaders), then in
// the installed data (<exe dir>/../share/tintweave/shaders in the usual layout), then the source
// tree's shaders/. A directory counts when it holds the image pass's "gl/img_process.vert"
// (kImagePassVertex). When none does, returns "shaders" so that messages quote the relative
// path. Relative results stay relative ("shaders").
QString shaderDirectory();

// Makes shaderDirectory() return `directory` whatever it holds (a tool's --shaders option); an
// empty string restores the search.
void setShaderDirectory(const QString& directory);

// Path of one shader file in shaderDirectory(), e.g. shaderPath("solver/div.frag") gives
// "shaders/solver/div.frag" when run from a directory holding the shaders. The files of each
// program are named in program_catalogue.h.
QByteArray shaderPath(const char* fileName);
