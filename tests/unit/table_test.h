// Table tests: each case starts with `const char* name`, naming it ("Step.TurnsMovesAndWraps/X").
#pragma once

#include <gtest/gtest.h>

// Runs the TEST_Ps of `suite` (a TestWithParam) over the cases given.
#define VORN_TABLE(suite, ...)                                                                    \
  [[maybe_unused]] void PrintTo(const suite::ParamType& c, std::ostream* out) { *out << c.name; } \
  INSTANTIATE_TEST_SUITE_P(, suite,                                                               \
                           ::testing::ValuesIn(std::vector<suite::ParamType>{__VA_ARGS__}),       \
                           [](const auto& info) { return std::string(info.param.name); })
