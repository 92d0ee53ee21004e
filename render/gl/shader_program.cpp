#include <GL/glew.h>

#include "shader_program.h"

#include "console_diagnostics.h"
#include "file_access.h"
#include "program_catalogue.h"
#include "shader_constants.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <iostream>

namespace {

// Longest shader source read from a file, in bytes.
constexpr qint64 kMaxSourceLength = 2000000;

QByteArray infoLog(GLuint object, bool isProgram)
{
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return QByteArray();
    QByteArray text(length + 1, '\0');
    GLsizei written = 0;
    if (isProgram)
        glGetProgramInfoLog(object, length + 1, &written, text.data());
    else
        glGetShaderInfoLog(object, length + 1, &written, text.data());
    text.truncate(written);
    return text;
}

// "#line" making the next line number `line` of source `number`. Up to GLSL 1.50, "#line n"
// numbers the next line n + 1; from 3.30 on, n.
QByteArray lineDirective(int version, int line, int number)
{
    return "#line " + QByteArray::number(version >= 330 ? line : line - 1) + ' '
           + QByteArray::number(number) + '\n';
}

// The source with, after its #version and #extension lines (directives that must come before
// any code), the values shared with the C++ side, the program's own `extra` definitions and the
// prelude, each part opened by a #line directive: messages keep the file's line numbers (source
// 0) and number the prelude's lines from 1 in source 1.
QByteArray withPrelude(const QByteArray& source, const QByteArray& extra, const QByteArray& prelude)
{
    int headerEnd = 0;
    int headerLines = 0;
    int version = 110; // a shader without #version is GLSL 1.10
    while (headerEnd < source.size()) {
        const int newline = source.indexOf('\n', headerEnd);
        const int next = newline < 0 ? source.size() : newline + 1;
        const QByteArray line = source.mid(headerEnd, next - headerEnd).trimmed();
        if (line.startsWith("#version"))
            version = line.mid(8).trimmed().split(' ').value(0).toInt();
        else if (!line.startsWith("#extension"))
            break;
        headerEnd = next;
        ++headerLines;
    }
    QByteArray header = source.left(headerEnd);
    if (!header.isEmpty() && !header.endsWith('\n'))
        header += '\n';
    const QByteArray definitions = "#define CONSTRAINT_ALPHA_THRESHOLD "
                                   + QByteArray::number(kConstraintAlphaThreshold, 'g', 17) + "\n"
                                   + "#define OPACITY_FLOOR "
                                   + QByteArray::number(kOpacityFloor, 'g', 17) + "\n" + extra;
    return header + definitions + lineDirective(version, 1, 1) + prelude
           + (prelude.endsWith('\n') ? "" : "\n") + lineDirective(version, headerLines + 1, 0)
           + source.mid(headerEnd);
}

// Reads a shader file (only a regular file: a FIFO or a device would block or never end) into
// `text`; on failure sets `log` to "Cannot open file <path>", with the reason for a file that
// exists.
bool readSource(const QByteArray& path, QByteArray& text, QByteArray& log)
{
    const QString name = QString::fromLocal8Bit(path);
    QFile file;
    QString reason;
    if (!openRegularFile(file, name, reason, true)) {
        log = "Cannot open file " + path;
        if (QFileInfo::exists(name))
            log += ": " + reason.toLocal8Bit();
        return false;
    }
    text = file.read(kMaxSourceLength);
    return true;
}

bool holdsShaders(const QString& dir)
{
    return QFileInfo::exists(dir + QLatin1Char('/') + QLatin1String(kImagePassVertex));
}

} // namespace

bool ShaderProgram::create(const QByteArray& vertexPath, const QByteArray& fragmentPath,
                           const QByteArray& definitions)
{
    extraDefinitions = definitions;
    // GL names belong to the context that made them: when the program was created in a context
    // that is gone or not shared with the current one, the objects are made again here.
    if (!created || !glIsProgram(program)) {
        vertexShader = glCreateShader(GL_VERTEX_SHADER);
        fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
        program = glCreateProgram();
        glAttachShader(program, vertexShader);
        glAttachShader(program, fragmentShader);
        created = true;
    }
    return load(vertexPath, fragmentPath);
}

bool ShaderProgram::compileFile(const QByteArray& path, unsigned int shader, QByteArray& log)
{
    QByteArray text;
    QByteArray prelude;
    if (!readSource(path, text, log) || !readSource(shaderPath(kShaderPrelude), prelude, log))
        return false;
    const QByteArray source = withPrelude(text, extraDefinitions, prelude);

    const GLchar* sourceText = source.constData();
    const GLint length = GLint(qstrnlen(sourceText, uint(source.size())));
    glShaderSource(shader, 1, &sourceText, &length);
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE) {
        log.clear();
        return true;
    }
    log = "Shader " + path + " compilation failure\n" + infoLog(shader, false);
    return false;
}

bool ShaderProgram::load(const QByteArray& vertexPath, const QByteArray& fragmentPath)
{
    if (!created) {
        lastLog = "program not created yet";
        return false;
    }
    linked = false;
    if (!compileFile(vertexPath, vertexShader, lastLog)
        || !compileFile(fragmentPath, fragmentShader, lastLog))
        return false;

    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status == GL_TRUE) {
        linked = true;
        lastLog.clear();
        uniformCache.clear();
        return true;
    }
    lastLog = "Program linkage Error\n" + infoLog(program, true);
    return false;
}

void ShaderProgram::use() const
{
    if (linked)
        glUseProgram(program);
}

void ShaderProgram::release() { glUseProgram(0); }

int ShaderProgram::uniformLocation(const QByteArray& name)
{
    if (!created)
        return -1;
    const auto cached = uniformCache.find(name);
    if (cached != uniformCache.end())
        return cached->second;

    // An unlinked program has no uniforms (and asking would raise a GL error).
    const int location = linked ? glGetUniformLocation(program, name.constData()) : -1;
    uniformCache.emplace(name, location);
    if (std::ostream* out = diagnosticStream(std::cerr)) {
        if (location == -1)
            *out << "cannot get uniform location of " << name.constData() << std::endl;
        else
            *out << "uniform location of " << name.constData() << " = " << location << std::endl;
    }
    return location;
}

void ShaderProgram::setSampler(const QByteArray& name, int unit)
{
    const int location = uniformLocation(name);
    if (location != -1)
        glUniform1i(location, unit);
}

void ShaderProgram::setFloat(const QByteArray& name, float value)
{
    const int location = uniformLocation(name);
    if (location != -1)
        glUniform1f(location, value);
}

void ShaderProgram::setVec3(const QByteArray& name, float x, float y, float z)
{
    const int location = uniformLocation(name);
    if (location != -1)
        glUniform3f(location, x, y, z);
}

namespace {
QString& shaderDirectoryOverride()
{
    static QString directory;
    return directory;
}
} // namespace

void setShaderDirectory(const QString& directory) { shaderDirectoryOverride() = directory; }

QString shaderDirectory()
{
    if (!shaderDirectoryOverride().isEmpty())
        return shaderDirectoryOverride();
    const QString local = QStringLiteral("shaders");
    if (holdsShaders(local))
        return local;

    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        candidates << exeDir + QStringLiteral("/shaders") << exeDir + QStringLiteral("/../shaders");
#ifdef TINTWEAVE_DATA_FROM_BIN
        candidates << exeDir + QStringLiteral("/" TINTWEAVE_DATA_FROM_BIN "/shaders");
#endif
    }
#ifdef TINTWEAVE_SHADER_SOURCE_DIR
    candidates << QStringLiteral(TINTWEAVE_SHADER_SOURCE_DIR);
#endif
    for (const QString& dir : candidates) {
        if (holdsShaders(dir))
            return QDir::cleanPath(dir);
    }
    return local;
}

QByteArray shaderPath(const char* fileName)
{
    return (shaderDirectory() + QLatin1Char('/') + QString::fromLatin1(fileName)).toLocal8Bit();
}
