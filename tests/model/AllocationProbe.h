#pragma once
// Watches the sizes requested from the global allocator, so that tests can show a reader never
// asks for more memory than the bytes it was given could fill.
#include <cstddef>

class CAllocationProbe {
public:
    CAllocationProbe();  // starts watching, from zero
    ~CAllocationProbe(); // stops watching
    CAllocationProbe(const CAllocationProbe&) = delete;
    CAllocationProbe& operator=(const CAllocationProbe&) = delete;
    // The largest single request made while watching.
    std::size_t Largest() const;
};
