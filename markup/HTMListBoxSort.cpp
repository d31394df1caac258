#include "markup/HTMListBoxSort.h"

#include <numeric>
#include <utility>

namespace plx {

namespace {

struct Sorter {
  std::vector<std::string>& keys;
  std::vector<int>& order;
  const TKeyCompare& compare;

  // Iterates on the larger part and recurses on the smaller, so the depth
  // stays logarithmic whatever the keys.
  void Sort(int lo, int hi) {
    while (lo < hi) {
      const std::string pivot = keys[static_cast<std::size_t>(lo) + static_cast<std::size_t>(hi - lo) / 2];
      int i = lo;
      int j = hi;
      do {
        while (compare(Key(i), pivot) < 0 && i < hi) ++i;
        while (compare(pivot, Key(j)) < 0 && j > lo) --j;
        if (i <= j) {
          if (i != j && compare(Key(i), Key(j)) != 0) {
            std::swap(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(j)]);
            std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]);
          }
          ++i;
          --j;
        }
      } while (i <= j);
      if (j - lo < hi - i) {
        if (lo < j) Sort(lo, j);
        lo = i;
      } else {
        if (i < hi) Sort(i, hi);
        hi = j;
      }
    }
  }
  const std::string& Key(int index) const { return keys[static_cast<std::size_t>(index)]; }
};

}  // namespace

std::vector<int> SortedEntryOrder(std::vector<std::string> keys, const TKeyCompare& compare) {
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  if (keys.size() > 1) Sorter{keys, order, compare}.Sort(0, static_cast<int>(keys.size()) - 1);
  return order;
}

}  // namespace plx
