#include "allocation_watch.h"

#include <cstdlib>
#include <new>

namespace {

const void* watched = nullptr;
bool freed = false;
std::function<void()> onWatchedFree;
std::size_t failingSize = 0;
bool counting = false;
std::size_t counted = 0;
std::size_t failingNumber = 0;

void release(void* memory, std::size_t size)
{
    if (memory && memory == watched) {
        watched = nullptr;
        freed = true;
        // Taken out first: the callback may allocate and free memory of its own.
        const std::function<void()> onFree = std::move(onWatchedFree);
        onWatchedFree = nullptr;
        if (onFree) {
            onFree();
        }
        // Whatever still calls into the object after this crashes there and then. Volatile,
        // or the compiler drops the writes as dead before the free.
        auto* bytes = static_cast<volatile unsigned char*>(memory);
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = 0xA5;
        }
    }
    std::free(memory);
}

} // namespace

void whenFreed(const void* object, std::function<void()> onFree)
{
    onWatchedFree = std::move(onFree);
    freed = false;
    watched = object;
}

bool watchedFreed()
{
    return freed;
}

void failNextAllocationOf(std::size_t size)
{
    failingSize = size;
}

void countAllocationsFailing(std::size_t number)
{
    counted = 0;
    failingNumber = number;
    counting = true;
}

std::size_t allocationsCounted()
{
    return counted;
}

std::size_t stopCountingAllocations()
{
    counting = false;
    return counted;
}

void* operator new(std::size_t size)
{
    if (size != 0 && size == failingSize) {
        failingSize = 0;
        throw std::bad_alloc();
    }
    if (counting && ++counted == failingNumber) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    release(memory, 0);
}

void operator delete(void* memory, std::size_t size) noexcept
{
    release(memory, size);
}
