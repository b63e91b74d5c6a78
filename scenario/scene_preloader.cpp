#include "scenario/scene_preloader.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "platform/globals.h"
#include "scenario/stage.h"
#include "textures/texture.h"

// What the worker shares with the frames, owned by whichever ends last.
// While the worker is at work the pictures hold no texture objects: those
// are made only once it is done, and given back before it starts again.
struct ScenePreloader::Work {
    std::mutex mutex;
    std::condition_variable wake, idle;
    bool pending = false;    // a request the worker has not started
    bool busy = false;       // the worker is reading pictures
    bool stop = false;       // the worker is to end
    unsigned requested = 0;  // the number of the latest request (or drop)
    // The worker has finished the latest request and touches nothing until
    // the next; read by the frames without the lock.
    std::atomic<bool> ready{false};
    char dataDir[512] = "";
    char scenePath[256] = "";
    PreparedPicture pictures[2];
};

// The longest the switch waits for the worker: one frame's time.
static const std::chrono::milliseconds kLongestWait(11);

ScenePreloader::ScenePreloader() : work_(std::make_shared<Work>()), worker_(Run, work_) {}

ScenePreloader::~ScenePreloader() {
    bool busy;
    {
        std::lock_guard<std::mutex> lock(work_->mutex);
        work_->stop = true;
        busy = work_->busy;
    }
    work_->wake.notify_one();
    if (busy) {
        worker_.detach();
        return;
    }
    worker_.join();
    ForgetPictures();
}

void ScenePreloader::ForgetPictures() {
    for (PreparedPicture& p : work_->pictures) p.Reset(pool_);
}

void ScenePreloader::Request(const char* scenePath) {
    Reset();
    if (!scenePath || std::strlen(scenePath) >= sizeof work_->scenePath) return;
    {
        std::lock_guard<std::mutex> lock(work_->mutex);
        std::strcpy(work_->dataDir, g_dataDir);
        std::strcpy(work_->scenePath, scenePath);
        work_->pending = true;
    }
    work_->wake.notify_one();
}

void ScenePreloader::Step() {
    if (!work_->ready.load(std::memory_order_acquire)) return;
    if (!work_->pictures[0].UploadStep(pool_)) work_->pictures[1].UploadStep(pool_);
}

bool ScenePreloader::Take(const char* path, CTexture& texture) {
    {
        std::unique_lock<std::mutex> lock(work_->mutex);
        if (!work_->idle.wait_for(lock, kLongestWait,
                                  [this] { return !work_->pending && !work_->busy; }))
            return false;
    }
    if (!work_->ready.load(std::memory_order_acquire)) return false;
    return work_->pictures[0].TakeTexture(path, texture, pool_) ||
           work_->pictures[1].TakeTexture(path, texture, pool_);
}

void ScenePreloader::Reset() {
    bool busy;
    {
        std::lock_guard<std::mutex> lock(work_->mutex);
        work_->ready.store(false, std::memory_order_relaxed);
        work_->pending = false;
        ++work_->requested;
        busy = work_->busy;
    }
    // A busy worker forgets the pictures itself when it starts again.
    if (!busy) ForgetPictures();
}

void ScenePreloader::Recycle(CTexture& texture) {
    pool_.Give(texture.name);
    texture.name = 0;
}

void ScenePreloader::ReserveLike(const CTexture& texture) { pool_.AddLike(texture); }

void ScenePreloader::Run(std::shared_ptr<Work> work) {
    Work& w = *work;
    std::unique_lock<std::mutex> lock(w.mutex);
    for (;;) {
        w.wake.wait(lock, [&w] { return w.pending || w.stop; });
        if (w.stop) return;
        w.pending = false;
        w.busy = true;
        const unsigned job = w.requested;
        char dataDir[sizeof w.dataDir], scenePath[sizeof w.scenePath];
        std::strcpy(dataDir, w.dataDir);
        std::strcpy(scenePath, w.scenePath);
        lock.unlock();

        for (PreparedPicture& p : w.pictures) p.Prepare(nullptr);
        char paths[2][256];
        if (ReadScenePicturePaths(dataDir, scenePath, paths[0], paths[1]))
            for (int i = 0; i < 2; ++i)
                if (paths[i][0]) w.pictures[i].Prepare(paths[i]);

        lock.lock();
        w.busy = false;
        // Pictures of a request dropped meanwhile are never shown.
        if (job == w.requested && !w.pending) w.ready.store(true, std::memory_order_release);
        w.idle.notify_all();
    }
}
