#include <GL/glew.h>

#include "shader_program.h"

#include "console_diagnostics.h"
#include "file_access.h"
#include "shared_constants.h"

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

// The source with the values shared with the C++ side and the program's own `extra`
// definitions after its #version line (or first, without one), and a #line directive so that
// messages keep the file's line numbers. Up to GLSL 1.50, "#line n" numbers the next line
// n + 1; from 3.30 on, n.
QByteArray withSharedDefinitions(const QByteArray& source, const QByteArray& extra)
{
    const QByteArray definitions = "#define CONSTRAINT_ALPHA_THRESHOLD "
                                   + QByteArray::number(kConstraintAlphaThreshold, 'g', 17) + "\n"
                                   + extra;
    if (!source.startsWith("#version"))
        return definitions + "#line 0\n" + source;
    const int end = source.indexOf('\n');
    if (end < 0)
        return source + "\n" + definitions;
    const int version = source.mid(8, end - 8).trimmed().split(' ').value(0).toInt();
    return source.left(end + 1) + definitions + (version >= 330 ? "#line 2\n" : "#line 1\n")
           + source.mid(end + 1);
}

bool holdsShaders(const QString& dir)
{
    return QFileInfo::exists(dir + QStringLiteral("/img_process.vert"));
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
    // Only a regular file is read: a FIFO or a device named as a shader would block or never end.
    const QString name = QString::fromLocal8Bit(path);
    QFile file;
    QString reason;
    if (!openRegularFile(file, name, reason, true)) {
        log = "Cannot open file " + path;
        if (QFileInfo::exists(name))
            log += ": " + reason.toLocal8Bit();
        return false;
    }
    const QByteArray source = withSharedDefinitions(file.read(kMaxSourceLength), extraDefinitions);
    file.close();

    const GLchar* text = source.constData();
    const GLint length = GLint(qstrnlen(text, uint(source.size())));
    glShaderSource(shader, 1, &text, &length);
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
