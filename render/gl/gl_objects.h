#pragma once

#include <initializer_list>

// Small owners of GL textures and framebuffers. Each releases its object when destroyed, so
// destroy them with their context current. They are movable, not copyable. GL names are plain
// unsigned ints here so that this header pulls in no GL header.

class QImage;

// How a texture is stored and sampled: GL enums of the internal format, the pixel format and
// type used at creation (no initial data), the min/mag filter and the wrap mode of S and T.
// With wrap GL_CLAMP_TO_BORDER the border colour is (0.5, 0.5, 0.5, 1).
struct TextureFormat {
    int internalFormat;
    int format;
    int type;
    int filter;
    int wrap;
};

// Formats of the renderer's images (defined in gl_objects.cpp).
// The images that hundreds of sweeps or smoothing steps rewrite are kept in 32-bit floats: the
// GL may round each store to half float towards zero, and over a long relaxation that bias
// drifts the picture (measured: 0.16 RMS off the exact solve after 800 sweeps in half float).
TextureFormat halfFloatNearestGreyBorder(); // gradients, divergence: outside reads 0.5 = zero
TextureFormat halfFloatNearest();           // blur constraints
TextureFormat floatLinear();                // colour solution, overview, blur scratch
TextureFormat floatNearest();               // scratch, blur solution
TextureFormat rgba8Nearest();               // colour constraints
TextureFormat rgba16Nearest();              // deep or dithered pictures
TextureFormat depthStencilNearest();        // depth 24 + stencil 8

// One rectangle texture (GL_TEXTURE_RECTANGLE_ARB), addressed in texels.
class Texture {
public:
    Texture() = default;
    ~Texture();
    Texture(Texture&& other) noexcept;
    Texture& operator=(Texture&& other) noexcept;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // (Re)creates the texture at width x height (at least 1 x 1) without initial data.
    void create(int width, int height, const TextureFormat& format);
    // (Re)creates the texture with the pixels of `image`, of its size: RGBA 8 bits per channel,
    // rows bottom-up as GL counts them (the image's top row is the highest t), nearest filter,
    // clamped to the edge. A null image releases the texture and returns false.
    bool createFromImage(const QImage& image);
    // Binds it as the rectangle texture of texture unit `unit` (0 or 1).
    void bind(int unit) const;

    unsigned int name() const { return id; }
    int width() const { return w; }
    int height() const { return h; }

private:
    void destroy();
    unsigned int id = 0;
    int w = 0;
    int h = 0;
};

// One framebuffer object.
class Framebuffer {
public:
    Framebuffer() = default;
    ~Framebuffer();
    Framebuffer(Framebuffer&& other) noexcept;
    Framebuffer& operator=(Framebuffer&& other) noexcept;
    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    void create();
    // Attach a texture as colour attachment 0, or as depth and stencil attachment. Leave this
    // framebuffer bound.
    void attachColor(const Texture& texture);
    // Attach textures as colour attachments 0, 1, ... and draw into all of them.
    void attachColors(std::initializer_list<const Texture*> textures);
    void attachDepthStencil(const Texture& texture);
    void bind() const;
    // True when the GL reports this framebuffer complete (binds it).
    bool isComplete() const;

    unsigned int name() const { return id; }

private:
    void destroy();
    unsigned int id = 0;
};

// A texture and the framebuffer that renders into it: one image of the solver.
struct RenderTarget {
    Texture texture;
    Framebuffer framebuffer;

    // Creates the texture and a framebuffer with it as colour attachment 0.
    void create(int width, int height, const TextureFormat& format);
    // (Re)creates the texture with the pixels of `image`, of its size: RGBA 8 bits per channel,
    // rows bottom-up as GL counts them (the image's top row is the highest t), nearest filter,
    // clamped to the edge. A null image releases the texture and returns false.
    bool createFromImage(const QImage& image);
    // Binds the framebuffer and sets the viewport to the image's size.
    void bindAsTarget() const;
    int width() const { return texture.width(); }
    int height() const { return texture.height(); }
};

// Binds a framebuffer by name (the window's framebuffer of a QOpenGLWidget is not 0).
void bindFramebuffer(unsigned int name);
