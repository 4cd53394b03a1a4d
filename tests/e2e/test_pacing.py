"""Faults of the saver's pace: as many frames on battery as on mains power, or a saver that stays
slow once mains power is back."""
import time

from Xlib import display as xdisplay
from Xlib.ext import damage

import harness as h

MEASURE_S = 2

def frame_rate(screen, window):
    """Frames a second drawn on the window: each frame's pieces reach the X server together, and a
    non-empty damage report comes once until it is taken back; reports under 5 ms apart are one."""
    x = xdisplay.Display(screen.name)
    x.damage_query_version()
    watched = x.create_resource_object("window", window.id)
    report = watched.damage_create(damage.DamageReportNonEmpty)
    frames, last, end = 0, -1000, time.monotonic() + MEASURE_S
    while time.monotonic() < end:
        while x.pending_events():
            event = x.next_event()
            x.damage_subtract(report)
            frames += event.timestamp - last >= 5
            last = event.timestamp
        time.sleep(0.001)
    x.close()
    return frames / MEASURE_S

def test_on_battery_it_presents_half_the_frames_and_mains_power_brings_them_back(screen, wine,
                                                                                 vorn):
    saver = wine.launch(vorn.program, "/s")
    window = screen.find(h.MAIN)
    rates = []
    for source in ("mains", "battery", "mains"):
        assert wine.helper("e2e_helper.exe", "power", source).wait(h.QUICK_EXIT_S) == 0
        time.sleep(0.3)
        rates.append(frame_rate(screen, window))
    mains, battery, again = rates
    assert mains > 40 and 0.4 * mains <= battery <= 0.6 * mains and again > 0.8 * mains, rates
    screen.xdo("key", "space")
    assert saver.wait(5) == 0
