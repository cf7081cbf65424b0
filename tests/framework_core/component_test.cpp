#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component.h"

namespace {

class Recorded : public TComponent {
public:
    Recorded(TComponent* owner, std::string name, std::vector<std::string>& log)
        : TComponent(owner), name_(std::move(name)), log_(log) {}
    ~Recorded() override { log_.push_back(name_); }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

TEST(Component, OwnerFreesWhatItOwnsTheLastAddedFirst) {
    std::vector<std::string> log;
    auto* root = new Recorded(nullptr, "root", log);
    new Recorded(root, "a", log);
    auto* b = new Recorded(root, "b", log);
    new Recorded(b, "b1", log);
    new Recorded(root, "c", log);
    EXPECT_EQ(root->ComponentCount(), 3);
    delete root;
    EXPECT_EQ(log, (std::vector<std::string>{"root", "c", "b", "b1", "a"}));
}

TEST(Component, FreeingAnOwnedComponentTakesItOutOfItsOwner) {
    std::vector<std::string> log;
    Recorded root(nullptr, "root", log);
    auto* a = new Recorded(&root, "a", log);
    new Recorded(&root, "b", log);
    delete a;
    ASSERT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(log, std::vector<std::string>{"a"});
}

}  // namespace
