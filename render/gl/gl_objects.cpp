#include <GL/glew.h>

#include "gl_objects.h"

#include <QImage>

#include <algorithm>
#include <utility>
#include <vector>

TextureFormat halfFloatNearestGreyBorder()
{
    return {GL_RGBA16F_ARB, GL_RGBA, GL_FLOAT, GL_NEAREST, GL_CLAMP_TO_BORDER};
}

TextureFormat floatLinear()
{
    return {GL_RGBA32F_ARB, GL_RGBA, GL_FLOAT, GL_LINEAR, GL_CLAMP_TO_EDGE};
}

TextureFormat floatNearest()
{
    return {GL_RGBA32F_ARB, GL_RGBA, GL_FLOAT, GL_NEAREST, GL_CLAMP_TO_EDGE};
}

TextureFormat halfFloatNearest()
{
    return {GL_RGBA16F_ARB, GL_RGBA, GL_FLOAT, GL_NEAREST, GL_CLAMP_TO_EDGE};
}

TextureFormat rgba8Nearest()
{
    return {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, GL_NEAREST, GL_CLAMP_TO_EDGE};
}

TextureFormat rgba16Nearest()
{
    return {GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT, GL_NEAREST, GL_CLAMP_TO_EDGE};
}

TextureFormat depthStencilNearest()
{
    return {GL_DEPTH24_STENCIL8_EXT, GL_DEPTH_STENCIL_EXT, GL_UNSIGNED_INT_24_8_EXT, GL_NEAREST,
            GL_CLAMP_TO_EDGE};
}

// ---- Texture

Texture::~Texture() { destroy(); }

Texture::Texture(Texture&& other) noexcept : id(std::exchange(other.id, 0u)), w(other.w), h(other.h)
{
}

Texture& Texture::operator=(Texture&& other) noexcept
{
    if (this != &other) {
        destroy();
        id = std::exchange(other.id, 0u);
        w = other.w;
        h = other.h;
    }
    return *this;
}

void Texture::destroy()
{
    if (id != 0)
        glDeleteTextures(1, &id);
    id = 0;
}

void Texture::create(int width, int height, const TextureFormat& format)
{
    destroy();
    w = std::max(1, width);
    h = std::max(1, height);
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, id);
    glTexImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, format.internalFormat, w, h, 0, GLenum(format.format),
                 GLenum(format.type), nullptr);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, format.filter);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MAG_FILTER, format.filter);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_WRAP_S, format.wrap);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_WRAP_T, format.wrap);
    if (format.wrap == GL_CLAMP_TO_BORDER) {
        const GLfloat grey[4] = {0.5f, 0.5f, 0.5f, 0.5f}; // every channel: no jump
        glTexParameterfv(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_BORDER_COLOR, grey);
    }
}

bool Texture::createFromImage(const QImage& image)
{
    destroy();
    w = h = 0;
    if (image.isNull())
        return false;
    const QImage pixels = image.convertToFormat(QImage::Format_RGBA8888).mirrored();
    create(pixels.width(), pixels.height(), rgba8Nearest());
    // Rows of RGBA8888 are whole 32-bit words: alignment 4 reads them without padding.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE,
                    pixels.constBits());
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
    return true;
}

void Texture::bind(int unit) const
{
    glActiveTexture(GLenum(GL_TEXTURE0 + unit));
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, id);
    if (unit != 0)
        glActiveTexture(GL_TEXTURE0);
}

// ---- Framebuffer

Framebuffer::~Framebuffer() { destroy(); }

Framebuffer::Framebuffer(Framebuffer&& other) noexcept : id(std::exchange(other.id, 0u)) {}

Framebuffer& Framebuffer::operator=(Framebuffer&& other) noexcept
{
    if (this != &other) {
        destroy();
        id = std::exchange(other.id, 0u);
    }
    return *this;
}

void Framebuffer::destroy()
{
    if (id != 0)
        glDeleteFramebuffersEXT(1, &id);
    id = 0;
}

void Framebuffer::create()
{
    destroy();
    glGenFramebuffersEXT(1, &id);
}

void Framebuffer::attachColor(const Texture& texture)
{
    bind();
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT,
                              GL_TEXTURE_RECTANGLE_ARB, texture.name(), 0);
}

void Framebuffer::attachColors(std::initializer_list<const Texture*> textures)
{
    bind();
    std::vector<GLenum> buffers;
    for (const Texture* texture : textures) {
        const GLenum attachment = GLenum(GL_COLOR_ATTACHMENT0_EXT + buffers.size());
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, attachment, GL_TEXTURE_RECTANGLE_ARB,
                                  texture->name(), 0);
        buffers.push_back(attachment);
    }
    glDrawBuffers(GLsizei(buffers.size()), buffers.data());
}

void Framebuffer::attachDepthStencil(const Texture& texture)
{
    bind();
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_RECTANGLE_ARB,
                              texture.name(), 0);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_STENCIL_ATTACHMENT_EXT,
                              GL_TEXTURE_RECTANGLE_ARB, texture.name(), 0);
}

void Framebuffer::bind() const { glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, id); }

bool Framebuffer::isComplete() const
{
    bind();
    return glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
}

// ---- RenderTarget

void RenderTarget::create(int width, int height, const TextureFormat& format)
{
    texture.create(width, height, format);
    framebuffer.create();
    framebuffer.attachColor(texture);
}

void RenderTarget::bindAsTarget() const
{
    framebuffer.bind();
    glViewport(0, 0, width(), height());
}

void bindFramebuffer(unsigned int name) { glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, name); }
