// Reading value texts is checked against the C library by the settings value fuzz target, over its
// seeds (fuzz/corpus/settings_value) and any bytes.
#include "core/settings_value.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

// A value written without its leading blank, with a blank before its minus, or not in digits.
TEST(ValueTextWriting, GivesOneBlankOrAMinus) {
  for (const auto& [value, text] : {std::pair{5, " 5"},
                                    {0, " 0"},
                                    {-1, "-1"},
                                    {INT32_MAX, " 2147483647"},
                                    {INT32_MIN, "-2147483648"}}) {
    EXPECT_EQ(FormatValueText(value), text);
  }
}

}  // namespace
}  // namespace vorn
