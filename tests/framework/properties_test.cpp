#include "framework/Properties.h"

#include <gtest/gtest.h>

#include "framework/Exception.h"

namespace plx {
namespace {

class TLinked : public TComponent {
 public:
  using TComponent::TComponent;
  bool Checked() const { return checked_; }
  void SetChecked(bool value) { checked_ = value; }
  int Count() const { return count_; }
  void SetCount(int value) {
    if (value < 0) throw Exception("negative");
    count_ = value;
  }
  TComponent* Partner() const { return partner_; }
  void SetPartner(TLinked* value) { partner_ = value; }
  TNotifyEvent OnClick;

  const TPropertyTable* PublishedProperties() const override {
    static const TPropertyTable table = [] {
      TPropertyTable t;
      t.Boolean("Checked", &TLinked::Checked, &TLinked::SetChecked)
          .Integer("Count", &TLinked::Count, &TLinked::SetCount)
          .Event("OnClick", &TLinked::OnClick);
      return t;
    }();
    return &table;
  }

 private:
  bool checked_ = false;
  int count_ = 0;
  TComponent* partner_ = nullptr;
};

// A subclass adds a property and keeps its base's.
class TLinkedWithPartner : public TLinked {
 public:
  using TLinked::TLinked;
  TLinked* PartnerLink() const { return static_cast<TLinked*>(Partner()); }
  const TPropertyTable* PublishedProperties() const override {
    static const TPropertyTable table = [thisBase = TLinked::PublishedProperties()] {
      TPropertyTable t(thisBase);
      t.Component("Partner", &TLinkedWithPartner::PartnerLink, &TLinked::SetPartner);
      return t;
    }();
    return &table;
  }
};

TEST(PublishedProperties, ReadAndWriteTypedByNameIgnoringCase) {
  TLinkedWithPartner item(nullptr);
  TLinked other(nullptr);

  EXPECT_TRUE(SetBoolProp(&item, "checked", true));
  bool checked = false;
  EXPECT_TRUE(GetBoolProp(&item, "CHECKED", checked));
  EXPECT_TRUE(checked);

  EXPECT_TRUE(SetIntProp(&item, "Count", 7));
  long long count = 0;
  EXPECT_TRUE(GetIntProp(&item, "Count", count));
  EXPECT_EQ(count, 7);

  EXPECT_TRUE(SetComponentProp(&item, "Partner", &other));
  TComponent* partner = nullptr;
  EXPECT_TRUE(GetComponentProp(&item, "Partner", partner));
  EXPECT_EQ(partner, &other);

  int clicks = 0;
  EXPECT_TRUE(SetEventProp(&item, "OnClick", [&](TObject*) { ++clicks; }));
  TNotifyEvent handler;
  ASSERT_TRUE(GetEventProp(&item, "OnClick", handler));
  handler(&item);
  EXPECT_EQ(clicks, 1);
}

TEST(PublishedProperties, AbsentWrongKindAndFailingAccessorsAnswerFalse) {
  TLinkedWithPartner item(nullptr);
  TComponent plain(nullptr);
  bool b = false;
  long long i = 0;
  EXPECT_FALSE(GetBoolProp(&item, "Down", b));           // no such property
  EXPECT_FALSE(GetBoolProp(&item, "Count", b));          // an integer, not a boolean
  EXPECT_FALSE(SetIntProp(&item, "Count", -1));          // the setter raised
  EXPECT_TRUE(GetIntProp(&item, "Count", i));
  EXPECT_EQ(i, 0);                                       // and changed nothing
  EXPECT_FALSE(SetComponentProp(&item, "Partner", &plain));  // not a TLinked
  EXPECT_FALSE(GetBoolProp(&plain, "Checked", b));       // class without a table
  EXPECT_FALSE(GetBoolProp(nullptr, "Checked", b));
}

}  // namespace
}  // namespace plx
