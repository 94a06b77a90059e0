#include <gtest/gtest.h>

#include <set>
#include <string>

#include "testing/Mutator.h"

using TestSupport::Mutator;

TEST(Mutator, SameSeedSameDamageAndEveryKindInOneRound)
{
    const std::string sample = "<list><item id=\"1\">\x05\x00\x00\x00text</item></list>";
    Mutator first(42), second(42), other(43);
    std::set<std::string> kinds;
    int differing = 0;
    for (int i = 0; i < 90; ++i) {
        std::string a = first.Mutate(sample);
        EXPECT_EQ(a, second.Mutate(sample)) << "input " << i;
        differing += a != other.Mutate(sample);
        if (std::string(first.LastKind()) == "truncation") EXPECT_LT(a.size(), sample.size());
        kinds.insert(first.LastKind());
    }
    EXPECT_EQ(kinds.size(), 9u);
    EXPECT_GT(differing, 45);
}

TEST(Mutator, EmptyAndOneByteInputsAreDamagedWithoutFault)
{
    Mutator mutator(7);
    for (int i = 0; i < 200; ++i) {
        std::string damaged = mutator.Mutate(i % 2 ? std::string("x") : std::string());
        EXPECT_LT(damaged.size(), 64u);
    }
}
