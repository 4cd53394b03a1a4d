#include "core/command_line.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(SwitchLetter, IsTheUpperCasedSecondCharacter) {
  EXPECT_EQ(SwitchLetter("/s"), "S");
  EXPECT_EQ(SwitchLetter("/S"), "S");
  EXPECT_EQ(SwitchLetter("-s"), "S");
  EXPECT_EQ(SwitchLetter("/scr"), "S");
  EXPECT_EQ(SwitchLetter("/c:1234"), "C");
  EXPECT_EQ(SwitchLetter("/p 1234"), "P");
  EXPECT_EQ(SwitchLetter("xa"), "A");  // the first character is not examined
}

TEST(SwitchLetter, IsEmptyForTextShorterThanTwoCharacters) {
  EXPECT_EQ(SwitchLetter(""), "");
  EXPECT_EQ(SwitchLetter("s"), "");
  EXPECT_EQ(SwitchLetter("/"), "");
}

TEST(HandleText, StartsAtTheFourthCharacter) {
  EXPECT_EQ(HandleText("/p 1234"), "1234");
  EXPECT_EQ(HandleText("/p"), "");
  EXPECT_EQ(HandleText("/p "), "");
  EXPECT_EQ(HandleText("/c:1234"), "1234");
}

TEST(LenientHandle, ReadsDigitsAfterBlanks) {
  EXPECT_EQ(LenientHandle("1234"), 1234);
  EXPECT_EQ(LenientHandle("01234"), 1234);
  EXPECT_EQ(LenientHandle("   12"), 12);
  EXPECT_EQ(LenientHandle("\t 12"), 12);
  EXPECT_EQ(LenientHandle("12abc"), 12);
  EXPECT_EQ(LenientHandle("12 34"), 12);
  EXPECT_EQ(LenientHandle("2147483647"), 2147483647);
}

TEST(LenientHandle, GivesZeroWithoutDigitsOrBeyondTheRange) {
  EXPECT_EQ(LenientHandle(""), 0);
  EXPECT_EQ(LenientHandle("abc"), 0);
  EXPECT_EQ(LenientHandle("-1"), 0);
  EXPECT_EQ(LenientHandle("2147483648"), 0);
  EXPECT_EQ(LenientHandle("99999999999"), 0);
  EXPECT_EQ(LenientHandle(std::string(10000, '9')), 0);
}

}  // namespace
}  // namespace vorn
