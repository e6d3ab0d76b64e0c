#include "windowing/ItemOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "storage/CodePage.h"

namespace {

TEST(ItemOrderTest, SortsAlphabeticallyIgnoringCaseWithUmlautsBesideTheirVowel) {
    std::vector<std::string> names = {"Zell",   "ahr",   "Baden", "Ärzte"_w,
                                      "Aachen", "baden", "Öko"_w, "Ost"};
    std::sort(names.begin(), names.end(), ItemOrder::Less);
    EXPECT_EQ(names, (std::vector<std::string>{"Aachen", "ahr", "Ärzte"_w, "Baden", "baden",
                                               "Öko"_w, "Ost", "Zell"}));
    EXPECT_FALSE(ItemOrder::Less("Mosel", "Mosel"));
}

}  // namespace
