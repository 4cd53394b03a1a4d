// How often the saver draws, from what the machine runs on. The flames keep
// their pace at every rate: a slower frame advances them by as many steps as
// the frames at 60 a second it stands for.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vorn {

// What the system has told the saver about its power and its session.
struct PowerState {
  bool onBattery = false;     // the machine runs on its battery (or a UPS)
  bool batterySaver = false;  // the user turned battery saver on
  bool remoteSession = false;
  bool disconnected = false;  // the session has no display to show on
  bool operator==(const PowerState&) const = default;
};

struct Pacing {
  std::int32_t stepsPerFrame = 1;  // frames a second: 60 / stepsPerFrame
  bool draws = true;               // false: no frame is drawn or presented
  bool operator==(const Pacing&) const = default;
};

// On mains power 60 frames a second, one step each; on battery or with
// battery saver on 30, two steps each; in a remote session, where every frame
// crosses the network, 15, four steps each; nothing while disconnected.
Pacing PacingFor(const PowerState& state);

// A power setting's new value as the system reports it: the power source
// (0 mains, 1 battery, 2 a short-term source such as a UPS) or whether
// battery saver is on (non-zero).
void ApplyPowerSetting(PowerState& state, PowerSetting setting, std::uint32_t value);

}  // namespace vorn
