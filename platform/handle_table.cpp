#include "handle_table.h"

namespace corvane::kernel {

HandleTable& HandleTable::Instance() {
    // Never destroyed: handles may still be closed while the program ends.
    static HandleTable* const table = new HandleTable();
    return *table;
}

HANDLE HandleTable::Insert(std::shared_ptr<KernelObject> object) {
    std::lock_guard lock(mutex_);
    constexpr std::size_t kCapacity = kLast / kStep;
    if (objects_.size() >= kCapacity) {
        return 0;
    }
    // Values go up and wrap round, so that a closed handle is not reused at once.
    while (objects_.count(next_) != 0) {
        next_ = next_ >= kLast ? kStep : next_ + kStep;
    }
    const HANDLE handle = next_;
    next_ = next_ >= kLast ? kStep : next_ + kStep;
    objects_.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<KernelObject> HandleTable::Find(HANDLE handle) const {
    std::lock_guard lock(mutex_);
    const auto found = objects_.find(handle);
    return found == objects_.end() ? nullptr : found->second;
}

std::shared_ptr<KernelObject> HandleTable::Remove(HANDLE handle) {
    std::lock_guard lock(mutex_);
    const auto found = objects_.find(handle);
    if (found == objects_.end()) {
        return nullptr;
    }
    std::shared_ptr<KernelObject> object = std::move(found->second);
    objects_.erase(found);
    return object;
}

}  // namespace corvane::kernel
