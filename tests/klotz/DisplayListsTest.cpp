#include <gtest/gtest.h>

#include <vector>

#include "klotz/DisplayLists.h"

namespace {

TEST(RepointDisplayLists, EachTypeKeepsItsPlacedKloetze) {
    // Types 0 and 1 had lists 1 and 2; the rebuild gave type 0 the id 3 and
    // type 1 the id 1 that type 0 had just freed.
    std::vector<int> placed = {1, 2, 1, 2, 2};
    klotz::repointDisplayLists(placed, 1, 3);
    klotz::repointDisplayLists(placed, 2, 1);
    EXPECT_EQ(placed, (std::vector<int>{3, 1, 3, 1, 1}));
}

}  // namespace
