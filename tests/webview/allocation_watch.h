#pragma once

// Watches the program's heap through its own global operator new and delete, so that tests can
// see when an object's memory is given back, make an allocation fail, and count allocations.
#include <cstddef>
#include <functional>

// Calls onFree, once, when the memory at object is freed, and then fills the memory with junk
// (when its size is known, as for objects with a virtual destructor) so that a use after the
// free crashes at once.
void whenFreed(const void* object, std::function<void()> onFree);

// True once the memory last handed to whenFreed has been freed.
bool watchedFreed();

// Makes the next allocation of exactly size bytes fail as if the heap were exhausted.
void failNextAllocationOf(std::size_t size);

// Counts the program's allocations from now on and makes the one of that number fail as if the
// heap were exhausted: 1 is the very next allocation, 0 makes none fail.
void countAllocationsFailing(std::size_t number);

// The allocations counted so far.
std::size_t allocationsCounted();

// Stops counting; returns the allocations counted, the failing one included.
std::size_t stopCountingAllocations();
