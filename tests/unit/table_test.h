// Table tests: every case struct starts with `const char* name`, which names
// the test instance ("Steps/Step.MovesAndWraps/Heading_270_drifts_left") and
// is what gtest prints as its parameter.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// Instantiates the TEST_Ps of `suite` (a TestWithParam) with the cases given.
#define VORN_TABLE(suite, ...)                                                                    \
  [[maybe_unused]] void PrintTo(const suite::ParamType& c, std::ostream* out) { *out << c.name; } \
  INSTANTIATE_TEST_SUITE_P(, suite,                                                               \
                           ::testing::ValuesIn(std::vector<suite::ParamType>{__VA_ARGS__}),       \
                           [](const auto& info) { return std::string(info.param.name); })
