#include <gtest/gtest.h>

extern "C" int td_header_compiles_as_c99(void);

TEST(PublicHeader, CompilesAndWorksFromC99) { EXPECT_EQ(td_header_compiles_as_c99(), 1); }
