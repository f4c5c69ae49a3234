#pragma once

#include <cstdint>

// An object shared by reference: it starts with the one reference that its creator holds and
// destroys itself when the last one is released.
class RefCounted {
protected:
    RefCounted() = default;
    // Only Release ends the object, so that no holder can destroy it under another.
    virtual ~RefCounted() = default;

public:
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    virtual std::int32_t AddRef() { return ++refCount; }

    // The count after the release; at 0 the object no longer exists.
    virtual std::int32_t Release()
    {
        const std::int32_t count = --refCount;
        if (count == 0) {
            delete this;
        }
        return count;
    }

protected:
    std::int32_t refCount = 1;
};
