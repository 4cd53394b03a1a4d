// What the fuzz targets share: a broken invariant stops the run naming its rule, and libFuzzer
// keeps the input that broke it (run the target on that file to see it again).
#pragma once

#include <cstdio>
#include <cstdlib>

namespace vorn::fuzz {

inline void Require(bool holds, const char* rule) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", rule);
  std::abort();
}

}  // namespace vorn::fuzz
