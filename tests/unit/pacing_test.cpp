// The saver's pace on battery, with battery saver, in a remote session and disconnected.
#include "saver/pacing.h"

#include <gmock/gmock.h>

#include "fake_platform.h"
#include "saver/saver.h"

namespace vorn {
namespace {

// A state read as another pace: a mixture taking the faster rate, or a disconnected session drawn.
TEST(Pacing, TheSlowestRateAnyStateAsksForAndNothingWhileDisconnected) {
  const std::tuple<const char*, PowerState, Pacing> kStates[] = {
      {"mains", {}, {1, true}},
      {"battery", {.onBattery = true}, {2, true}},
      {"battery saver", {.batterySaver = true}, {2, true}},
      {"both", {.onBattery = true, .batterySaver = true}, {2, true}},
      {"remote", {.remoteSession = true}, {4, true}},
      {"remote on battery", {.onBattery = true, .remoteSession = true}, {4, true}},
      {"disconnected", {.disconnected = true}, {1, false}},
      {"remote, disconnected", {.remoteSession = true, .disconnected = true}, {4, false}}};
  for (const auto& [name, state, pacing] : kStates) EXPECT_EQ(PacingFor(state), pacing) << name;
  // The power source: 0 mains, 1 battery, 2 a UPS; battery saver: non-zero on.
  const std::tuple<PowerSetting, std::uint32_t, PowerState> kSettings[] = {
      {PowerSetting::PowerSource, 1, {.onBattery = true, .batterySaver = true}},
      {PowerSetting::PowerSource, 2, {.onBattery = true, .batterySaver = true}},
      {PowerSetting::PowerSource, 0, {.batterySaver = true}},
      {PowerSetting::BatterySaver, 0, {.onBattery = true}}};
  for (const auto& [setting, value, after] : kSettings) {
    PowerState state{.onBattery = setting != PowerSetting::PowerSource, .batterySaver = true};
    ApplyPowerSetting(state, setting, value);
    EXPECT_EQ(state, after) << value;
  }
}

struct PacedRig : testing::SaverRig {
  const std::vector<std::int64_t>& presents = platform.presentedAt;
  explicit PacedRig(std::function<void(PacedRig&)> user) {
    settings.Num = 3;
    platform.layout = DisplayLayout{{0, 0, 800, 300}, {{{0, 0, 300, 300}}, {{300, 0, 800, 300}}}};
    Run([this, user](int) { user(*this); });
  }
  std::size_t Presented() const { return platform.CallsStartingWith("PresentFrame").size(); }
};

// Two steps at 30 a second (or four at 15) leaving the swarms elsewhere than two (or four) frames
// at 60 a second leave them, their random numbers taken in another order.
TEST(Pacing, ASlowerFrameLeavesTheSwarmsWhereTheFramesItStandsForDo) {
  const auto after = [](std::size_t frames, PowerState state) {
    std::vector<std::array<std::int32_t, 5>> flames;  // of every swarm
    PacedRig rig([&](PacedRig& r) {
      if (r.Presented() == 0) {
        r.saver.Form_PowerSetting(PowerSetting::PowerSource, state.onBattery);
        r.saver.Form_SessionChange(state.remoteSession, true);
      }
      if (r.Presented() < frames + 1 || !flames.empty()) return;
      for (const Swarm& swarm : r.saver.swarms)
        for (const Particle& p : swarm.particles)
          flames.push_back({p.Angle, p.X, p.Y, p.SrcX, p.SrcY});
      r.saver.Form_KeyDown();
    });
    return flames;
  };
  EXPECT_EQ(after(2, {}), after(1, {.onBattery = true}));
  EXPECT_EQ(after(4, {}), after(1, {.remoteSession = true}));
  EXPECT_NE(after(2, {}), after(1, {}));
}

// A pace that does not follow the power and the session, a race after a stall, frames drawn for a
// disconnected session (or ticks held back then), or an old picture left on a session connected
// again.
TEST(Pacing, FollowsThePowerAndTheSessionAsTheyChange) {
  std::size_t disconnectedAt = 0;
  PacedRig rig([&](PacedRig& r) {
    const std::size_t n = r.presents.size();
    if (n == 1 && r.platform.nowMicroseconds < 1'000'000) r.platform.nowMicroseconds += 1'000'000;
    if (n == 3) r.saver.Form_PowerSetting(PowerSetting::PowerSource, 1);
    if (n == 6) r.saver.Form_SessionChange(true, true);
    if (n == 9 && disconnectedAt == 0) {
      r.saver.Form_SessionChange(true, false);
      disconnectedAt = r.platform.doEventsCount;
    }
    if (disconnectedAt > 0 && r.platform.doEventsCount == int(disconnectedAt) + 4) {
      EXPECT_EQ(n, 9u);
      EXPECT_EQ(r.platform.calls[r.platform.calls.size() - 2], "WaitForEvents(4294967295)");
      r.saver.Timer1_Timer();  // ticks go on
      r.platform.shown.FillInclusive(0, 0, 9999, 9999, testing::FakePlatform::kStale);
      r.saver.Form_SessionChange(false, true);
    }
    if (n == 10) r.saver.Form_KeyDown();
  });
  const auto gap = [&](std::size_t i) { return rig.presents[i] - rig.presents[i - 1]; };
  EXPECT_NEAR(gap(3), 16'667, 1'000);  // mains, after a stall (gap 1) and a frame at once (gap 2)
  EXPECT_NEAR(gap(5), 33'333, 1'000);  // on battery
  EXPECT_NEAR(gap(8), 66'667, 1'000);  // remote
  EXPECT_EQ(rig.saver.Ticks, 1);
  EXPECT_EQ(rig.platform.shown.Pixels(), rig.platform.frameBuffer.Pixels());  // whole again
}

}  // namespace
}  // namespace vorn
