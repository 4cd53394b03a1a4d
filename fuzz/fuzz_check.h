// A broken invariant stops the run naming its rule; libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace vorn::fuzz {

inline void Require(bool holds, const char* rule) {
  if (!holds) std::fprintf(stderr, "invariant broken: %s\n", rule), std::abort();
}

}  // namespace vorn::fuzz
