#pragma once

// Watches the program's heap through its own global operator new and delete, so that tests can
// see when an object's memory is given back and can make an allocation fail.
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
