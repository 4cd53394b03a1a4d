// Entry point of the end-to-end tests: the shared bench (Xvfb + Wine prefix) is
// made by the first test that needs it and torn down once after the last test.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

class SharedBenchEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { vorn::e2e::Bench::ShutdownShared(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new SharedBenchEnvironment);
  return RUN_ALL_TESTS();
}
