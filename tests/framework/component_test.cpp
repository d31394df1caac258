#include "framework/Component.h"
#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plx {
namespace {

// Records what happens to it in a shared log.
class TLoggingComponent : public TComponent {
 public:
  TLoggingComponent(TComponent* owner, std::string name, std::vector<std::string>* log)
      : TComponent(owner), log_(log) {
    SetName(std::move(name));
  }
  ~TLoggingComponent() override {
    log_->push_back("destroy " + Name() + (IsDestroying() ? " (destroying)" : ""));
  }
  void Loaded() override {
    log_->push_back("loaded " + Name() + (IsLoading() ? " (loading)" : ""));
    TComponent::Loaded();
  }
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove) {
      log_->push_back(Name() + " sees removal of " + component->Name());
      if (component == reference) reference = nullptr;
    }
  }
  TComponent* reference = nullptr;

 private:
  std::vector<std::string>* log_;
};

TEST(Component, OwnerDestroysItsComponentsLastCreatedFirst) {
  std::vector<std::string> log;
  auto* owner = new TComponent(nullptr);
  new TLoggingComponent(owner, "first", &log);
  new TLoggingComponent(owner, "second", &log);
  new TLoggingComponent(owner, "third", &log);
  ASSERT_EQ(owner->ComponentCount(), 3);
  delete owner;
  // Each removal is announced while the removed component is still whole
  // (it sees its own), and only then do its destructors run.
  const std::vector<std::string> destroyed = {
      "first sees removal of third",  "second sees removal of third", "third sees removal of third",
      "destroy third (destroying)",   "first sees removal of second", "second sees removal of second",
      "destroy second (destroying)",  "first sees removal of first",  "destroy first (destroying)"};
  EXPECT_EQ(log, destroyed);
}

TEST(Component, RemovalClearsNonOwningReferencesAcrossOwners) {
  std::vector<std::string> log;
  TComponent form(nullptr);
  TComponent otherForm(nullptr);
  auto* holder = new TLoggingComponent(&form, "holder", &log);
  auto* sibling = new TLoggingComponent(&form, "sibling", &log);
  auto* stranger = new TLoggingComponent(&otherForm, "stranger", &log);

  holder->reference = sibling;  // same owner: the owner tells its components
  delete sibling;
  EXPECT_EQ(holder->reference, nullptr);

  holder->reference = stranger;  // another owner: only a free notification tells
  holder->FreeNotification(stranger);
  delete stranger;
  EXPECT_EQ(holder->reference, nullptr);
}

TEST(Component, RemoveFreeNotificationStopsTheNotice) {
  std::vector<std::string> log;
  TComponent a(nullptr), b(nullptr);
  auto* holder = new TLoggingComponent(&a, "holder", &log);
  auto* target = new TLoggingComponent(&b, "target", &log);
  holder->FreeNotification(target);
  holder->RemoveFreeNotification(target);
  log.clear();
  delete target;
  // Only its owner's components (itself) hear of it; the holder does not.
  EXPECT_EQ(log, (std::vector<std::string>{"target sees removal of target", "destroy target (destroying)"}));
}

TEST(Component, FreeNotificationSubscriberDestroyedFirstLeavesNoDanglingLink) {
  std::vector<std::string> log;
  auto* holder = new TLoggingComponent(nullptr, "holder", &log);
  auto* target = new TLoggingComponent(nullptr, "target", &log);
  holder->FreeNotification(target);
  delete holder;  // must unsubscribe both ways
  log.clear();
  delete target;  // would touch freed memory otherwise (ASan watches)
  EXPECT_EQ(log, std::vector<std::string>{"destroy target (destroying)"});
}

TEST(Component, LoadedClearsTheLoadingFlagAndFindComponentIgnoresCase) {
  std::vector<std::string> log;
  TComponent form(nullptr);
  auto* c = new TLoggingComponent(&form, "ListBox1", &log);
  c->BeginLoading();
  EXPECT_TRUE(c->IsLoading());
  EXPECT_FALSE(c->IsDesigning());
  c->Loaded();
  EXPECT_FALSE(c->IsLoading());
  EXPECT_EQ(log, std::vector<std::string>{"loaded ListBox1 (loading)"});
  EXPECT_EQ(form.FindComponent("listbox1"), c);
  EXPECT_EQ(form.FindComponent("ListBox2"), nullptr);
  EXPECT_EQ(form.FindComponent(""), nullptr);
}

TEST(Persistent, AssignWithoutAWayToCopyRaises) {
  TPersistent a, b;
  EXPECT_THROW(a.Assign(b), Exception);
}

}  // namespace
}  // namespace plx
