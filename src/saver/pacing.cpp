#include "saver/pacing.h"

namespace vorn {
namespace {

constexpr std::uint32_t kMainsPower = 0;  // PoAc
constexpr std::int32_t kBatterySteps = 2;
constexpr std::int32_t kRemoteSteps = 4;

}  // namespace

Pacing PacingFor(const PowerState& state) {
  const std::int32_t steps = state.remoteSession                     ? kRemoteSteps
                             : state.onBattery || state.batterySaver ? kBatterySteps
                                                                     : 1;
  return {steps, !state.disconnected};
}

void ApplyPowerSetting(PowerState& state, PowerSetting setting, std::uint32_t value) {
  if (setting == PowerSetting::PowerSource) state.onBattery = value != kMainsPower;
  if (setting == PowerSetting::BatterySaver) state.batterySaver = value != 0;
}

}  // namespace vorn
