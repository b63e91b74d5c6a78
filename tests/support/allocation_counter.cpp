#include "tests/support/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool t_armed = false;
thread_local size_t t_allocations = 0;

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

AllocationCounter::AllocationCounter() : startCount_(t_allocations), wasArmed_(t_armed) {
    t_armed = true;
}

AllocationCounter::~AllocationCounter() { t_armed = wasArmed_; }

size_t AllocationCounter::count() const { return t_allocations - startCount_; }

// Every ordinary form is replaced together, so that allocation and release
// always pair malloc with free (which sanitizers check).
void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return AllocateNoThrow(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return AllocateNoThrow(size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
