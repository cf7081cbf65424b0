#include "component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) {
        owner->InsertComponent(this);
    }
}

TComponent::~TComponent() {
    destroying_ = true;
    if (owner_ != nullptr) {
        owner_->RemoveComponent(this);
    }
    while (!components_.empty()) {
        TComponent* last = components_.back();
        RemoveComponent(last);
        delete last;
    }
}

void TComponent::InsertComponent(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) {
        components_.erase(it);
    }
    component->owner_ = nullptr;
}
