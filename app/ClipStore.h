#pragma once
// The clips the user has collected, in list order. Platform-neutral.

#include <cstdint>
#include <string>
#include <vector>

namespace plx {

struct TClipItem {
  // The index the clip's list entry had when it was added; never renumbered.
  std::int32_t position = 0;
  // The dropped text exactly as delivered (it may hold zero bytes).
  std::string text;
};

class TClipStore {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError outside 0 .. Count - 1.
  const TClipItem& Item(int index) const;
  // Takes the text over without copying it.
  void Append(std::int32_t position, std::string text);
  void Remove(int index);
  void Clear();

 private:
  void CheckIndex(int index) const;

  std::vector<TClipItem> items_;
};

}  // namespace plx
