#include "toolkit/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"

namespace nv::toolkit {
namespace {

// Records the order of Loaded calls and destruction in a shared log.
class Probe : public TComponent {
public:
    ~Probe() override {
        if (log != nullptr) {
            log->push_back("~" + Name());
        }
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
    Probe(Probe&&) = delete;
    Probe& operator=(Probe&&) = delete;
    Probe() = default;

    void Loaded() override {
        if (log != nullptr) {
            log->push_back("loaded " + Name());
        }
    }
    std::vector<std::string>* log = nullptr;
};

TEST(Ownership, OwnedComponentsKeepCreationOrderAndKnowTheirOwner) {
    TComponent root;
    auto& a = root.CreateComponent<TComponent>("a");
    auto& b = root.CreateComponent<TComponent>("b");
    auto& inner = a.CreateComponent<TComponent>("inner");
    ASSERT_EQ(root.ComponentCount(), 2);
    EXPECT_EQ(&root.Components(0), &a);
    EXPECT_EQ(&root.Components(1), &b);
    EXPECT_EQ(inner.Owner(), &a);
    EXPECT_EQ(a.Owner(), &root);
    EXPECT_EQ(root.Owner(), nullptr);
    EXPECT_THROW(root.Components(2), Error);
    EXPECT_THROW(root.Components(-1), Error);
}

TEST(Ownership, FindComponentIgnoresCaseOfAsciiOnlyAndNeverMatchesTheEmptyName) {
    TComponent root;
    auto& label = root.CreateComponent<TComponent>("lbFinish");
    root.CreateComponent<TComponent>("");
    root.CreateComponent<TComponent>("\xE4rger");
    EXPECT_EQ(root.FindComponent("LBFINISH"), &label);
    EXPECT_EQ(root.FindComponent("lbfinish"), &label);
    EXPECT_EQ(root.FindComponent(""), nullptr);
    EXPECT_EQ(root.FindComponent("\xC4RGER"), nullptr);
    EXPECT_NE(root.FindComponent("\xE4RGER"), nullptr);
    EXPECT_EQ(root.FindComponent("lbFinis"), nullptr);
}

TEST(Ownership, FindComponentLooksAtDirectlyOwnedComponentsOnly) {
    TComponent root;
    auto& panel = root.CreateComponent<TComponent>("pSuccess");
    panel.CreateComponent<TComponent>("deep");
    EXPECT_EQ(root.FindComponent("deep"), nullptr);
}

TEST(Ownership, NamesAreUniqueAmongSiblingsWithoutCase) {
    TComponent root;
    auto& first = root.CreateComponent<TComponent>("btnNext");
    EXPECT_THROW(root.CreateComponent<TComponent>("BTNNEXT"), Error);
    EXPECT_EQ(root.ComponentCount(), 1);
    auto& second = root.CreateComponent<TComponent>("btnPrev");
    EXPECT_THROW(second.SetName("btnnext"), Error);
    EXPECT_EQ(second.Name(), "btnPrev");
    first.SetName("BtnNext");  // renaming to itself in another case is fine
    EXPECT_EQ(root.FindComponent("btnnext"), &first);
    // Unnamed components may be many.
    root.CreateComponent<TComponent>();
    root.CreateComponent<TComponent>();
    EXPECT_EQ(root.ComponentCount(), 4);
}

TEST(Ownership, OwnerDestroysItsComponentsLastCreatedFirst) {
    std::vector<std::string> log;
    {
        TComponent root;
        for (const char* name : {"one", "two", "three"}) {
            root.CreateComponent<Probe>(name).log = &log;
        }
    }
    EXPECT_EQ(log, (std::vector<std::string>{"~three", "~two", "~one"}));
}

TEST(Ownership, RemoveHandsOwnershipBack) {
    TComponent root;
    auto& child = root.CreateComponent<TComponent>("child");
    std::unique_ptr<TComponent> taken = root.RemoveComponent(child);
    ASSERT_EQ(taken.get(), &child);
    EXPECT_EQ(taken->Owner(), nullptr);
    EXPECT_EQ(root.ComponentCount(), 0);
    TComponent stranger;
    EXPECT_EQ(root.RemoveComponent(stranger), nullptr);
}

TEST(Loading, NotifyLoadedReachesEveryComponentDepthFirstThenTheRoot) {
    std::vector<std::string> log;
    Probe root;
    root.SetName("root");
    root.log = &log;
    auto& a = root.CreateComponent<Probe>("a");
    a.log = &log;
    a.CreateComponent<Probe>("a1").log = &log;
    root.CreateComponent<Probe>("b").log = &log;
    NotifyLoaded(root);
    EXPECT_EQ(log, (std::vector<std::string>{"loaded a1", "loaded a", "loaded b", "loaded root"}));
}

}  // namespace
}  // namespace nv::toolkit
