#include "textures/texture.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "platform/globals.h"
#include "textures/bmp_file.h"
#include "textures/jpeg_file.h"

// Makes the texture from pixels in memory: a full mipmap chain built by GLU
// (which rescales sides that are not powers of two), linear filtering, and
// sphere-map coordinate generation when selected.  The texture stays bound.
static void Upload(CTexture& texture, int width, int height, GLenum format,
                   const unsigned char* pixels) {
    // Without a current context (a show loaded by a tool without a display)
    // there is nothing to upload to, and GLU would fail on the missing
    // version string.
    if (!glGetString(GL_VERSION)) return;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLuint name = 0;
    glGenTextures(1, &name);
    texture.name = name;
    glBindTexture(GL_TEXTURE_2D, name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, format, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    if (texture.sphereMap) {
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    }
}

// A texture that was never loaded has name 0: there is nothing to delete,
// and binding it selects the default texture rather than another one.
CTexture::~CTexture() {
    if (name != 0) {
        GLuint n = name;
        glDeleteTextures(1, &n);
    }
}

bool CTexture::Bind() {
    glBindTexture(GL_TEXTURE_2D, name);
    return true;
}

bool CTexture::SetMapping(int mode) {
    if (mode == TEX_PLAIN) sphereMap = false;
    if (mode == TEX_SPHEREMAP) sphereMap = true;
    return true;
}

bool CTexture::LoadBMP(const char* path) {
    BmpPixels bmp;
    if (ReadBmpFile(path, &bmp)) Upload(*this, bmp.width, bmp.height, GL_BGRA, bmp.bgra.get());
    return true;
}

bool CTexture::LoadJPEG(const char* path) {
    std::unique_ptr<JpegImage> image = LoadJpegImage(path);
    if (image) Upload(*this, image->width, image->height, GL_RGB, image->pixels.get());
    return true;
}
