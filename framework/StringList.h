#pragma once
// An ordered list of text strings, each with an attached object pointer.
// Strings are byte buffers and may hold zero bytes. Platform-neutral.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Component.h"

namespace plx {

class TStringList : public TPersistent {
 public:
  using TCompare = std::function<int(const TStringList& list, int index1, int index2)>;

  TStringList() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  // Index checked: EListError "List index out of bounds (i)" outside 0..Count-1.
  const std::string& Strings(int index) const;
  void SetStrings(int index, std::string value);
  TObject* Objects(int index) const;
  void SetObjects(int index, TObject* object);

  // Answers the index of the new string. A sorted list inserts in order.
  int Add(std::string value) { return AddObject(std::move(value), nullptr); }
  int AddObject(std::string value, TObject* object);
  void Insert(int index, std::string value) { InsertObject(index, std::move(value), nullptr); }
  void InsertObject(int index, std::string value, TObject* object);
  void Delete(int index);
  void Exchange(int index1, int index2);
  void Clear();

  // First index of the string (by the list's case rule), -1 when absent.
  int IndexOf(std::string_view value) const;

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  bool CaseSensitive() const { return case_sensitive_; }
  void SetCaseSensitive(bool value) { case_sensitive_ = value; }
  void Sort();
  void CustomSort(const TCompare& compare);

  // All strings joined with CR LF after each; SetText splits at CR LF, CR or LF.
  std::string Text() const;
  void SetText(std::string_view text);

  void BeginUpdate() { ++update_count_; }
  void EndUpdate();
  TNotifyEvent OnChange;

  void Assign(const TPersistent& source) override;

 private:
  struct Item {
    std::string text;
    TObject* object = nullptr;
  };
  int CompareStrings(std::string_view a, std::string_view b) const;
  void CheckIndex(int index) const;
  void Changed();

  std::vector<Item> items_;
  bool sorted_ = false;
  bool case_sensitive_ = false;
  int update_count_ = 0;
};

}  // namespace plx
