// The next scene's pictures, made ready during the pause before a switch:
// a worker thread reads the scene file and decodes and scales its two
// pictures; the main thread uploads them a step a frame; the switch takes
// the finished textures (prepared_picture.h).  Everything shown belongs to
// the switch, which loads whatever was not made ready the usual way.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "textures/prepared_picture.h"

class CTexture;

class ScenePreloader {
public:
    // Starts the worker, which waits for requests.
    ScenePreloader();
    // Waits for the worker to finish what it is doing and ends it; deletes
    // the texture objects it holds.
    ~ScenePreloader();
    ScenePreloader(const ScenePreloader&) = delete;
    ScenePreloader& operator=(const ScenePreloader&) = delete;

    // Main thread: starts on the pictures of the scene folder scenePath of
    // the data directory as it is now, dropping an earlier request.
    // Allocates nothing.
    void Request(const char* scenePath);
    // Main thread: one upload step once the worker is done; nothing before.
    void Step();
    // Main thread: waits for the worker while it is at work, then gives the
    // texture of the picture file at path to texture when it was made ready
    // (see PreparedPicture::TakeTexture).
    bool Take(const char* path, CTexture& texture);
    // Main thread: drops the request; what was not taken is kept for later.
    void Reset();
    // Main thread: keeps the texture object of texture for pictures to come
    // (texture is left without one).
    void Recycle(CTexture& texture);
    // Main thread: keeps texture objects laid out like texture's, so that
    // the first pictures of its size need no fresh memory in a frame.
    void ReserveLike(const CTexture& texture);

private:
    void Run();
    void WaitUntilIdle();

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    bool pending_ = false;  // a request the worker has not started
    bool busy_ = false;     // the worker is reading pictures
    bool stop_ = false;
    // The worker has finished the last request and touches nothing until
    // the next; read by the frames without the lock.
    std::atomic<bool> ready_{false};
    char dataDir_[512] = "";
    char scenePath_[256] = "";
    PreparedPicture pictures_[2];
    TexturePool pool_;
    std::thread worker_;
};
