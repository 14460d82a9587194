#include "klotz/DisplayLists.h"

#include <algorithm>

namespace klotz {

void repointDisplayLists(std::vector<int>& placedDisplayLists, int oldId, int newId) {
    std::replace(placedDisplayLists.begin(), placedDisplayLists.end(), oldId, newId);
}

}  // namespace klotz
