// The operating-system family test and the system's screen-saver-running
// switch, used by the start-up routine and by the end of the saver.
#pragma once

#include "platform/platform.h"

namespace vorn {

// True on the NT family of Windows. A version call that does not answer
// exactly 1 counts as the 95/98 family.
bool IsNT(Platform& platform);

// Sets the system's screen-saver-running flag to the opposite of `allowed`.
void AllowSystemKeys(Platform& platform, bool allowed);

}  // namespace vorn
