// The next scene's pictures, made ready during the pause before a switch:
// a worker thread reads the scene file and decodes and scales its two
// pictures; the main thread uploads them a step a frame; the switch takes
// the finished textures (prepared_picture.h).  Everything shown belongs to
// the switch, which loads whatever was not made ready the usual way.  The
// main thread never waits on the worker longer than a frame.
#pragma once

#include <memory>
#include <thread>

#include "textures/prepared_picture.h"

class CTexture;

class ScenePreloader {
public:
    // Starts the worker, which waits for requests.
    ScenePreloader();
    // Ends the worker.  A worker still at work (in a read that does not
    // return, on a stalled network folder) is left to end on its own with
    // what it uses, so that it never keeps the process from ending.
    ~ScenePreloader();
    ScenePreloader(const ScenePreloader&) = delete;
    ScenePreloader& operator=(const ScenePreloader&) = delete;

    // Main thread: starts on the pictures of the scene folder scenePath of
    // the data directory as it is now, dropping an earlier request; the
    // worker takes it up once it is done with what it is doing.  Never
    // waits; allocates nothing.
    void Request(const char* scenePath);
    // Main thread: one upload step once the worker is done; nothing before.
    void Step();
    // Main thread: waits at most a frame's time for the worker to finish the
    // request, then gives the texture of the picture file at path to
    // texture when it was made ready (see PreparedPicture::TakeTexture).
    // False otherwise: the picture is then loaded the usual way.
    bool Take(const char* path, CTexture& texture);
    // Main thread: drops the request; what was not taken is kept for later.
    // Never waits.
    void Reset();
    // Main thread: keeps the texture object of texture for pictures to come
    // (texture is left without one).
    void Recycle(CTexture& texture);
    // Main thread: keeps texture objects laid out like texture's, so that
    // the first pictures of its size need no fresh memory in a frame.
    void ReserveLike(const CTexture& texture);

private:
    struct Work;
    static void Run(std::shared_ptr<Work> work);
    // Gives the texture objects of the pictures to the pool; only while the
    // worker is idle.
    void ForgetPictures();

    std::shared_ptr<Work> work_;
    TexturePool pool_;
    std::thread worker_;
};
