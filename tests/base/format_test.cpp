// Counts with their nouns, as messages, undo texts and summaries show them.

#include "base/format.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

struct CountedCase {
    long long count;
    const char* expected;
};

class CountedTest : public testing::TestWithParam<CountedCase> {};

TEST_P(CountedTest, NounAgreesWithCount) {
    EXPECT_EQ(Counted(GetParam().count, "cell", "cells"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, CountedTest,
                         testing::Values(CountedCase{0, "0 cells"}, CountedCase{1, "1 cell"},
                                         CountedCase{2, "2 cells"}, CountedCase{11, "11 cells"},
                                         CountedCase{65535LL * 75, "4915125 cells"}));

} // namespace
} // namespace varnel
