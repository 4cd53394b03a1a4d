"""Faults of the saver: no flames or frozen ones, an end on input it should ignore or none on input
that should end it (the 95/98 password: test_program_file.py; a second start beside a running
copy: test_dialog.py, its Windows side, and Main.EndsAtOnceBesideARunningCopy, each caption
against each mode)."""
import os, time

import numpy as np
import pytest

import harness as h

END_S = 3  # input to the process's end
STAYS_S = 1.5  # how long a saver that must not end is watched
# The saver's first mouse move only records the pointer: Wine sends one right after the window
# shows, and it must arrive before the test's moves. (The pointer starts at 300, 300.)
SETTLE = ["sleep", 0.3]

def fire(shot):  # pixels of the fire's colours: red leads, blue trails
    r, g, b = (shot[:, :, i].astype(int) for i in range(3))
    return int(((r >= 96) & (r >= g) & (g >= b)).sum())

def start(screen, wine, vorn, *args):  # the saver, its window the screen's, the flames moving
    saver = wine.launch(vorn.program, *args)
    window = screen.saver(saver)
    first = screen.wait_shot(window.rect, lambda s: fire(s) > 2000, "flames on the screen")
    h.save_png(first, "saver-flames")
    screen.wait_shot(None, lambda s: (s != first).any(axis=2).sum() > 5000, "the flames to move", 1)
    return saver

def expect(screen, saver, ends, after):
    code = saver.wait(END_S if ends else STAYS_S)
    assert code == 0 if ends else code is None, f"the saver's end {code} after {after}"
    if ends:
        screen.gone(h.MAIN)

# Input in steps, and whether each step ends the saver.
# (A key and a click: test_hostile.py, lit() below; the plain start ignoring the mouse: the unit
# tests' Saver.EndsOnTheSecondMoveThatDiffersInBothCoordinates.)
@pytest.mark.parametrize("steps", [
    [(["key", "Shift_L"], True)],
    [(SETTLE + ["mousemove", 420, 300, "mousemove", 220, 300], False),
     (["mousemove", 300, 390], False), (["mousemove", 303, 303], True)],
], ids=["a-lone-shift-ends-it", "a-straight-move-does-not-a-diagonal-one-does"])
def test_input_ends_it_or_not(screen, wine, vorn, steps):
    saver = start(screen, wine, vorn, "/s")
    for step, ends in steps:
        screen.xdo(*step)
        expect(screen, saver, ends, step)

def lit(screen, wine, vorn, num, name=None):  # num fast flames: mean fire and last shot (saved)
    vorn.write("Vorn.ini", f"[Section]\r\nNum={num}\r\nSpeed=20\r\n")
    saver = wine.launch(vorn.program, "/s")
    screen.saver(saver)
    time.sleep(1.5)  # fast flames spread over the screen within a second
    shots = [screen.shot() for _ in range(8) if not time.sleep(0.25)]
    h.save_png(shots[-1], name or f"saver-{num}")
    screen.xdo("click", 1)  # each still ends on a click
    expect(screen, saver, True, "a click")
    return np.mean([fire(shot) for shot in shots]), shots[-1]

def test_the_settings_file_decides_the_swarm_size_none_leaving_the_screen_black(screen, wine,
                                                                               vorn):
    (_, black), (few, _), (many, _) = (lit(screen, wine, vorn, n) for n in (0, 10, 400))
    # Ten flames light ten cells at most: one that moved on is gone from the screen.
    assert not black.any() and 0 < few <= 10 * 32 * 64 and many > 5 * few, f"{many}, {few} lit"

def test_nothing_is_drawn_while_the_display_is_off_and_a_key_still_ends_it(screen, wine, vorn):
    saver = start(screen, wine, vorn, "/s")
    for state in ("off", "on", "off"):
        assert wine.helper("e2e_helper.exe", "display", state).wait(h.QUICK_EXIT_S) == 0
        time.sleep(0.3)
        before = screen.shot()
        time.sleep(1)
        moved = (screen.shot() != before).any(axis=2).sum()
        assert (moved > 5000) == (state == "on"), f"{moved} pixels changed with the display {state}"
    screen.xdo("key", "space")
    expect(screen, saver, True, "a key press with the display off")

def test_every_monitor_shows_a_swarm_of_its_own_and_input_on_any_ends_it():
    left, primary = (0, 0, 800, 600), (800, 0, 1024, 768)  # Windows: (-800, 0) and (0, 0)
    screen = h.Screen(monitors=[left, primary], primary=1)
    wine = h.Wine(screen, h.NATIVE / f"e2e-prefix-monitors-{os.getpid()}")
    try:
        saver = wine.launch(h.Folder(h.SCR).program, "/s")
        screen.saver(saver)  # over both
        for x, y, w, h_ in (left, primary):  # burst from its own centre
            shot = screen.wait_shot((x, y, w, h_), lambda s: fire(s) > 1000, "flames", 10)
            ys, xs = np.nonzero(shot[:, :, 0] >= 96)
            # the lit pixels' centre, the cells' centre, 16 and 32 from where they are placed
            assert abs(xs.mean() - 16 - w / 2) < 40 and abs(ys.mean() - 32 - h_ / 2) < 40
        time.sleep(1)
        assert not screen.shot((0, 600, 800, 168)).any(), "flames outside every monitor"
        screen.xdo("mousemove", 400, 300, "click", 1)
        expect(screen, saver, True, "a click on the left monitor")
    finally:
        wine.close()
        screen.close()

def test_a_swarm_lights_the_square_of_the_scale_times_the_pixels_at_144_and_192_dpi(screen, wine,
                                                                                    vorn):
    """Flames drawn in physical pixels (a quarter of the size at 192 dpi), or a scale that is
    not the system's: the same 30 flames, spread over the screen, at LogPixels 96, 144, 192."""
    lit_at = {}
    try:
        for dpi in (96, 144, 192):
            wine.set_dpi(dpi)
            lit_at[dpi] = lit(screen, wine, vorn, 30, f"saver-{dpi}-dpi")[0]
    finally:
        wine.set_dpi(96)
    # s squared: 2.25 and 4 (the sheets' own ratios), less the larger flames cut at the edges
    assert 1.7 < lit_at[144] / lit_at[96] < 2.8 and 3 < lit_at[192] / lit_at[96] < 4.8, lit_at
