"""Faults of preview mode: a window that is not inside the preview area or does not fill it, the
wrong picture, a preview that outlives its area (destroyed, or its process killed) or lingers on a
handle naming no window (test_hostile.py). Wine draws nothing of a child of another process's
window, so the pictures come from the preview routine in the host's own process; Vorn.scr /p is
seen through what its host reports (win32/e2e_helper.cpp, preview)."""
import re

import numpy as np
import pytest
from PIL import Image

import harness as h

HOST = "Vorn preview host"
PLACE = (60, 50)  # where the host's area lies on the screen
STILL = (152, 112)  # the preview still's size
PAINT_S = 10  # the host's window up to the still inside it
END_AFTER_DESTROY_S = 6  # Wine delivers WM_DESTROY about 2 s after the area goes, under Xvfb
KILLED_AREA_END_S = 2

@pytest.fixture
def still():
    path = h.NATIVE / "art/preview_still.bmp"
    assert path.exists(), f"{path} is missing: build the native preset (it runs tools/artgen)"
    still = np.asarray(Image.open(path).convert("RGB"))
    assert still.shape == (STILL[1], STILL[0], 3)
    assert still.any(axis=2).sum() > 500, "a (nearly) black still would prove little"
    return still

def host(wine, how, size, *options):  # a preview area, "in-process" or for Vorn.scr ("area")
    return wine.helper("e2e_helper.exe", "preview", how, *PLACE, *size, *options)

def reported(proc, pattern, timeout):  # the first line of the host's that matches, waited for
    return h.poll(lambda: re.search(f"^{pattern}$", proc.output(), re.M), timeout,
                  lambda: f"the host to report '{pattern}'; {proc.tail()}")

def hosted(wine, vorn, size, *options):  # (the area, Vorn.scr /p <the area>)
    area = host(wine, "area", size, *options)
    return area, wine.launch(vorn.program, "/p", reported(area, r"area (\d+)", h.FIRST_WINDOW_S)[1])

# The area, destroyed 200 ms after the preview shows in it or staying, from the still's size on.
@pytest.mark.parametrize("size, destroy_ms", [(STILL, 200), ((300, 200), 0), ((100, 60), 0)],
                         ids=["exact-then-the-loop-ends-with-the-area", "larger", "smaller"])
def test_the_area_shows_the_still_at_its_top_left_and_black_beyond(screen, wine, still, size,
                                                                   destroy_ms):
    expected = np.zeros((size[1], size[0], 3), np.uint8)
    w, hgt = min(size[0], STILL[0]), min(size[1], STILL[1])
    expected[:hgt, :w] = still[:hgt, :w]
    proc = host(wine, "in-process", size, *[destroy_ms] * bool(destroy_ms))
    assert screen.find(HOST).rect == (area := (*PLACE, *size))
    same = h.poll(lambda: np.array_equal(screen.shot(area), expected), PAINT_S)
    name, shot = "preview-%dx%d" % size, screen.shot(area)
    assert same, f"{h.save_png(expected, name + '-expected')} and {h.save_png(shot, name)} " \
                 f"differ in {(shot != expected).any(axis=2).sum()} pixels; {proc.tail()}"
    h.save_png(shot, name)
    if destroy_ms:
        reported(proc, "ended", END_AFTER_DESTROY_S)
        assert proc.exit_code(h.QUICK_EXIT_S) == 0

GARBAGE = b"[Section]\r\nSpeed=abc\r\nNum=-7\r\nIntval=1e999\r\n\x01\x02garbage\r\n"

# The area staying, or destroyed 2 s after the preview shows in it.
@pytest.mark.parametrize("size, ini, destroy_ms", [((300, 200), None, 0), (STILL, GARBAGE, 2000)],
                         ids=["larger", "a-settings-file-of-garbage-then-it-ends-with-its-area"])
def test_vorn_scr_puts_its_window_inside_the_area_filling_it(screen, wine, vorn, size, ini,
                                                             destroy_ms):
    """It sits inside the host, fills it, runs on, maps no window itself, writes no file; it ends
    within END_AFTER_DESTROY_S of its area. (A handle of no window: test_hostile.py.)"""
    if ini:
        vorn.write("Vorn.ini", ini)
    screen.watch()
    area, proc = hosted(wine, vorn, size, *[destroy_ms] * bool(destroy_ms))
    assert reported(area, r"child \d+ at (.*)", h.FIRST_WINDOW_S)[1] == "0 0 size %d %d" % size
    assert proc.wait(1) is None, f"it ended; {proc.tail()}"
    assert {w.caption for w in screen.mapped()} <= {HOST} and vorn.read("Vorn.ini") == ini
    if destroy_ms:
        reported(area, "destroyed", destroy_ms / 1000 + h.QUICK_EXIT_S)
        assert proc.exit_code(END_AFTER_DESTROY_S) == 0

def test_it_ends_within_a_second_or_two_when_the_areas_process_is_killed(wine, vorn):
    area, proc = hosted(wine, vorn, STILL)  # nothing tells the preview: it looks for its area
    reported(area, r"child \d+ at .*", h.FIRST_WINDOW_S)
    area.kill()
    assert proc.exit_code(KILLED_AREA_END_S) == 0
