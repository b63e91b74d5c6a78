#include "tests/support/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool t_armed = false;
thread_local size_t t_allocations = 0;
thread_local size_t t_releases = 0;

void Release(void* p) noexcept {
    if (t_armed && p) ++t_releases;
    std::free(p);
}

void* Allocate(size_t size) {
    if (t_armed) ++t_allocations;
    if (size == 0) size = 1;
    void* p = std::malloc(size);
    if (!p) throw std::bad_alloc();
    return p;
}

void* AllocateNoThrow(size_t size) noexcept {
    if (t_armed) ++t_allocations;
    if (size == 0) size = 1;
    return std::malloc(size);
}

}  // namespace

AllocationCounter::AllocationCounter()
    : startCount_(t_allocations), startReleases_(t_releases), wasArmed_(t_armed) {
    t_armed = true;
}

AllocationCounter::~AllocationCounter() { t_armed = wasArmed_; }

size_t AllocationCounter::count() const { return t_allocations - startCount_; }

long AllocationCounter::net() const {
    return (long)(t_allocations - startCount_) - (long)(t_releases - startReleases_);
}

// Every ordinary form is replaced together, so that allocation and release
// always pair malloc with free (which sanitizers check).
void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return AllocateNoThrow(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return AllocateNoThrow(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
