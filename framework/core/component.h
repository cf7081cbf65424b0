// The component base: an owner tree in which an owner frees what it owns.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// The framework's plain event: a method of some object that takes the object that raised it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    // Frees the owned components, the one added last first, after taking this component
    // out of its owner's list.
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(index); }

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    // The design state: set while a form designer holds the component, never in the programs.
    bool Designing() const { return designing_; }
    void SetDesigning(bool designing) { designing_ = designing; }

    bool Destroying() const { return destroying_; }

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::string name_;
    bool designing_ = false;
    bool destroying_ = false;
};
