#include "system/system_checks.h"

#include <cstdint>

namespace vorn {

bool IsNT(Platform& platform) {
  OsVersionInfo info{};
  info.dwOSVersionInfoSize = sizeof(OsVersionInfo);
  if (platform.GetVersionExA(info) != 1) return false;
  return info.dwPlatformId == kVerPlatformWin32Nt;
}

void AllowSystemKeys(Platform& platform, bool allowed) {
  // The complement of a Boolean as a 16-bit value (False = 0, True = -1),
  // widened with its sign: False gives 0xFFFFFFFF, True gives 0.
  const std::int16_t asBoolean = allowed ? -1 : 0;
  const auto complement = static_cast<std::int16_t>(~asBoolean);
  const auto uiParam = static_cast<std::uint32_t>(static_cast<std::int32_t>(complement));
  platform.SystemParametersInfoA(kSpiSetScreenSaverRunning, uiParam, nullptr, 0);
}

}  // namespace vorn
