// The start-up routine: the program's entry once the platform is built.
#pragma once

#include "platform/platform.h"

namespace vorn {

// Refuses to run beside a running copy, reads the mode switch, loads the
// settings and opens the one window the mode calls for.
void Main(Platform& platform);

}  // namespace vorn
