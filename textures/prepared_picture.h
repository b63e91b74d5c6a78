// A scene picture made ready ahead of the frame that shows it.  A worker
// thread decodes it and makes its texture levels (texture_levels.h); the
// main thread then uploads them in steps of about a megabyte of rows, a
// step a frame, so that no frame carries the whole load; the finished
// texture is the one CTexture::LoadJPEG makes of the same file.
//
// Nothing is shown from here.  A picture that cannot be read, or whose
// size GLU would shrink to fit the driver, is simply not ready: whoever
// needs it loads it the usual way, messages and all.
#pragma once

#include <cstdint>
#include <string>

#include "textures/texture_levels.h"

class CTexture;

// Texture objects kept for pictures to come.  Filling a texture object of
// the right size again costs the driver no fresh memory, which it may have
// to fetch and clear page by page (some hundred milliseconds for a large
// picture in a virtual machine); a new one, or one of another size, does.
class TexturePool {
public:
    enum { kSize = 4 };
    TexturePool() = default;
    ~TexturePool();
    TexturePool(const TexturePool&) = delete;
    TexturePool& operator=(const TexturePool&) = delete;

    // Keeps the texture object name (0: nothing), deleting the oldest kept
    // one when the pool is full.
    void Give(uint32_t name);
    // A kept texture object whose level 0 is width x height, taken out of
    // the pool, or 0.
    uint32_t Take(int width, int height);
    // Keeps a new texture object with the levels of texture (their sizes,
    // not their contents), laid out by the driver now rather than in a
    // frame.
    void AddLike(const CTexture& texture);

private:
    uint32_t names_[kSize] = {};
};

class PreparedPicture {
public:
    PreparedPicture() = default;
    ~PreparedPicture();  // deletes a texture not taken
    PreparedPicture(const PreparedPicture&) = delete;
    PreparedPicture& operator=(const PreparedPicture&) = delete;

    // Worker side, no GL: reads the picture at path and makes its levels.
    void Prepare(const char* path);

    // Main thread, GL context current: the next upload step, into a
    // texture object of the pool when one fits.  False when there was
    // nothing left to do.
    bool UploadStep(TexturePool& pool);
    // Main thread: when this is the picture at path and it can be made, its
    // texture goes to texture (which holds none), finishing the upload
    // first, bound as a fresh load leaves it; libjpeg's text about the file
    // is written to standard error as a load would write it.  Else false.
    bool TakeTexture(const char* path, CTexture& texture, TexturePool& pool);
    // Main thread: forgets the picture, giving a texture not taken to pool.
    void Reset(TexturePool& pool);

private:
    enum State { EMPTY, DECODED, UPLOADING, UPLOADED, UNUSABLE };

    bool FitsAsGluChecks() const;

    State state_ = EMPTY;
    int level_ = 0, row_ = 0;  // where the upload goes on
    char path_[256] = "";
    TextureLevels levels_;
    std::string messages_;
    uint32_t name_ = 0;
};
