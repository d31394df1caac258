#pragma once
// The order the markup list sorts its entries into: a quicksort over the
// entries' keys that exchanges two entries only when their keys differ, so
// entries with equal keys are moved as little as possible.

#include <functional>
#include <string>
#include <vector>

namespace plx {

// Negative, zero or positive as a sorts before, with or after b.
using TKeyCompare = std::function<int(const std::string& a, const std::string& b)>;

// The new order: result[k] is the index, in the original list, of the entry
// that goes to place k. keys[i] is the key of entry i.
std::vector<int> SortedEntryOrder(std::vector<std::string> keys, const TKeyCompare& compare);

}  // namespace plx
