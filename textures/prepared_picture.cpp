#include "textures/prepared_picture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "textures/jpeg_file.h"
#include "textures/texture.h"

TexturePool::~TexturePool() {
    for (uint32_t name : names_) {
        GLuint n = name;
        if (n != 0) glDeleteTextures(1, &n);
    }
}

void TexturePool::Give(uint32_t name) {
    if (name == 0) return;
    for (uint32_t& slot : names_)
        if (slot == 0) {
            slot = name;
            return;
        }
    GLuint oldest = names_[0];
    glDeleteTextures(1, &oldest);
    for (int i = 0; i + 1 < kSize; ++i) names_[i] = names_[i + 1];
    names_[kSize - 1] = name;
}

uint32_t TexturePool::Take(int width, int height) {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    uint32_t found = 0;
    for (uint32_t& name : names_) {
        if (name == 0) continue;
        GLint w = 0, h = 0;
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        if (w == width && h == height) {
            found = name;
            name = 0;
            break;
        }
    }
    glBindTexture(GL_TEXTURE_2D, (GLuint)bound);
    return found;
}

void TexturePool::AddLike(const CTexture& texture) {
    if (texture.name == 0) return;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    GLint w[TextureLevels::kMaxLevels], h[TextureLevels::kMaxLevels];
    int levels = 0;
    for (; levels < TextureLevels::kMaxLevels; ++levels) {
        w[levels] = h[levels] = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &w[levels]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_HEIGHT, &h[levels]);
        if (w[levels] == 0 || h[levels] == 0) break;
    }
    if (levels > 0) {
        GLuint spare = 0;
        glGenTextures(1, &spare);
        glBindTexture(GL_TEXTURE_2D, spare);
        for (int i = 0; i < levels; ++i)
            glTexImage2D(GL_TEXTURE_2D, i, 4, w[i], h[i], 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        // The driver lays a texture out when a draw first uses it: a point
        // outside the view drawn with it has that done now.
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
        glEnable(GL_TEXTURE_2D);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glBegin(GL_POINTS);
        glVertex3f(2.0f, 2.0f, 2.0f);
        glEnd();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glPopAttrib();
        Give(spare);
    }
    glBindTexture(GL_TEXTURE_2D, (GLuint)bound);
}

PreparedPicture::~PreparedPicture() {
    if (name_ != 0) {
        GLuint name = name_;
        glDeleteTextures(1, &name);
    }
}

void PreparedPicture::Prepare(const char* path) {
    state_ = EMPTY;
    path_[0] = '\0';
    levels_.Clear();
    messages_.clear();
    if (!path || std::strlen(path) >= sizeof path_) return;
    std::strcpy(path_, path);
    std::unique_ptr<JpegImage> image = DecodeJpegFile(path, &messages_);
    if (!image || !levels_.Build(image->pixels.get(), image->width, image->height)) {
        state_ = UNUSABLE;
        return;
    }
    state_ = DECODED;
}

// gluBuild2DMipmaps first asks a proxy texture whether level 1 of its size
// fits and halves the size until it does; only a size that fits at once is
// made here.
bool PreparedPicture::FitsAsGluChecks() const {
    const int w = levels_.width(0), h = levels_.height(0);
    glTexImage2D(GL_PROXY_TEXTURE_2D, 1, 4, w > 1 ? w / 2 : w, h > 1 ? h / 2 : h, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, nullptr);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &width);
    return width != 0;
}

// Rows of pixel data uploaded in one step, at most (and at least one row).
static const size_t kStepBytes = 1 << 20;

bool PreparedPicture::UploadStep(TexturePool& pool) {
    if (state_ != DECODED && state_ != UPLOADING) return false;
    if (state_ == DECODED && !FitsAsGluChecks()) {
        state_ = UNUSABLE;
        levels_.Clear();
        return true;
    }
    // The step leaves the binding as it found it: frames go on drawing.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (state_ == DECODED) {
        name_ = pool.Take(levels_.width(0), levels_.height(0));
        if (name_ == 0) {
            GLuint name = 0;
            glGenTextures(1, &name);
            name_ = name;
        }
        level_ = row_ = 0;
        state_ = UPLOADING;
    }
    glBindTexture(GL_TEXTURE_2D, name_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    size_t budget = kStepBytes;
    while (level_ < levels_.count() && budget > 0) {
        const int w = levels_.width(level_), h = levels_.height(level_);
        const size_t rowBytes = (size_t)w * 3;
        if (row_ == 0)
            glTexImage2D(GL_TEXTURE_2D, level_, 4, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        const int rows = (int)std::min<size_t>(h - row_, std::max<size_t>(1, budget / rowBytes));
        glTexSubImage2D(GL_TEXTURE_2D, level_, 0, row_, w, rows, GL_RGB, GL_UNSIGNED_BYTE,
                        levels_.pixels(level_) + rowBytes * row_);
        budget -= std::min(budget, rowBytes * rows);
        row_ += rows;
        if (row_ == h) ++level_, row_ = 0;
    }
    if (level_ == levels_.count()) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        state_ = UPLOADED;
        levels_.Clear();
    }
    glBindTexture(GL_TEXTURE_2D, (GLuint)bound);
    return true;
}

bool PreparedPicture::TakeTexture(const char* path, CTexture& texture, TexturePool& pool) {
    if (state_ == EMPTY || !path || std::strcmp(path, path_) != 0) return false;
    while (UploadStep(pool)) {
    }
    if (state_ != UPLOADED || name_ == 0) return false;
    texture.name = name_;
    name_ = 0;
    glBindTexture(GL_TEXTURE_2D, texture.name);
    if (!messages_.empty()) std::fputs(messages_.c_str(), stderr);
    Reset(pool);
    return true;
}

void PreparedPicture::Reset(TexturePool& pool) {
    pool.Give(name_);
    name_ = 0;
    state_ = EMPTY;
    path_[0] = '\0';
    levels_.Clear();
    messages_.clear();
}
