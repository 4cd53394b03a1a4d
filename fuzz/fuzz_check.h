// A broken invariant stops the run naming its rule; libFuzzer keeps the input that broke it. Each
// target defines Check, which libFuzzer's entry point below hands every input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace vorn::fuzz {

inline void Require(bool holds, const char* rule) {
  if (!holds) std::fprintf(stderr, "invariant broken: %s\n", rule), std::abort();
}

void Check(std::string_view input);

}  // namespace vorn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vorn::fuzz::Check({reinterpret_cast<const char*>(data), size});
  return 0;
}
