#include "scenario/scene_preloader.h"

#include <cstring>

#include "platform/globals.h"
#include "scenario/stage.h"
#include "textures/texture.h"

ScenePreloader::ScenePreloader() : worker_(&ScenePreloader::Run, this) {}

ScenePreloader::~ScenePreloader() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void ScenePreloader::Request(const char* scenePath) {
    Reset();
    if (!scenePath || std::strlen(scenePath) >= sizeof scenePath_) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::strcpy(dataDir_, g_dataDir);
        std::strcpy(scenePath_, scenePath);
        pending_ = true;
    }
    wake_.notify_one();
}

void ScenePreloader::Step() {
    if (!ready_.load(std::memory_order_acquire)) return;
    if (!pictures_[0].UploadStep(pool_)) pictures_[1].UploadStep(pool_);
}

bool ScenePreloader::Take(const char* path, CTexture& texture) {
    WaitUntilIdle();
    if (!ready_.load(std::memory_order_acquire)) return false;
    return pictures_[0].TakeTexture(path, texture, pool_) ||
           pictures_[1].TakeTexture(path, texture, pool_);
}

void ScenePreloader::Reset() {
    WaitUntilIdle();
    ready_.store(false, std::memory_order_relaxed);
    for (PreparedPicture& p : pictures_) p.Reset(pool_);
}

void ScenePreloader::Recycle(CTexture& texture) {
    pool_.Give(texture.name);
    texture.name = 0;
}

void ScenePreloader::ReserveLike(const CTexture& texture) { pool_.AddLike(texture); }

void ScenePreloader::WaitUntilIdle() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

void ScenePreloader::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return pending_ || stop_; });
        if (stop_) return;
        pending_ = false;
        busy_ = true;
        char dataDir[sizeof dataDir_], scenePath[sizeof scenePath_];
        std::strcpy(dataDir, dataDir_);
        std::strcpy(scenePath, scenePath_);
        lock.unlock();

        char paths[2][256];
        if (ReadScenePicturePaths(dataDir, scenePath, paths[0], paths[1]))
            for (int i = 0; i < 2; ++i)
                if (paths[i][0]) pictures_[i].Prepare(paths[i]);

        lock.lock();
        busy_ = false;
        ready_.store(true, std::memory_order_release);
        idle_.notify_all();
    }
}
