// An ordered list of untyped pointers; the list owns none of them.
#pragma once

#include <vector>

#include "component.h"

class TList : public TObject {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    void* Items(int index) const { return items_.at(index); }
    int Add(void* item) {
        items_.push_back(item);
        return Count() - 1;
    }
    void Insert(int index, void* item) { items_.insert(items_.begin() + index, item); }
    void Delete(int index) { items_.erase(items_.begin() + index); }
    void Clear() { items_.clear(); }

private:
    std::vector<void*> items_;
};
