// Counts heap allocations made through operator new on the calling thread
// while a counter is alive.  The test executables replace the global
// allocation functions with ones that forward to malloc/free and count only
// when armed, so other tests are unaffected.
#pragma once

#include <cstddef>

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;
    // Allocations on this thread since construction.
    size_t count() const;
    // Allocations less releases on this thread since construction: the
    // blocks still held (negative when older blocks were released).
    long net() const;

private:
    size_t startCount_;
    size_t startReleases_;
    bool wasArmed_;
};
