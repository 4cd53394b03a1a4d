// Table tests: every case struct starts with `const char* name`, which names
// the test ("Step.TurnsMovesAndWraps/Left_edge") and is printed as its parameter.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// Runs the TEST_Ps of `suite` (a TestWithParam) over the cases given.
#define VORN_TABLE(suite, ...)                                                                    \
  [[maybe_unused]] void PrintTo(const suite::ParamType& c, std::ostream* out) { *out << c.name; } \
  INSTANTIATE_TEST_SUITE_P(, suite,                                                               \
                           ::testing::ValuesIn(std::vector<suite::ParamType>{__VA_ARGS__}),       \
                           [](const auto& info) { return std::string(info.param.name); })
