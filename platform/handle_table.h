// The process-wide table that turns 32-bit handles into the kernel objects they stand for.
#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "windows_types.h"

namespace corvane::kernel {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Called once, when the last handle to the object is closed.
    virtual void Close() {}
};

class HandleTable {
public:
    static HandleTable& Instance();

    // A new handle for object: a small multiple of 4, never 0 nor INVALID_HANDLE_VALUE.
    // Returns 0 when the table is full.
    HANDLE Insert(std::shared_ptr<KernelObject> object);
    std::shared_ptr<KernelObject> Find(HANDLE handle) const;
    // Takes the handle out of the table; null when it is not a handle of this process.
    std::shared_ptr<KernelObject> Remove(HANDLE handle);

private:
    static constexpr HANDLE kStep = 4;
    static constexpr HANDLE kLast = 0x00FFFFFCu;

    mutable std::mutex mutex_;
    std::map<HANDLE, std::shared_ptr<KernelObject>> objects_;
    HANDLE next_ = kStep;
};

}  // namespace corvane::kernel
