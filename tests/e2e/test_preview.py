"""Faults of preview mode: a window that is not inside the preview area or does not fill it, the
wrong picture, a preview that outlives its area or lingers on a stale handle (handles naming no
window: test_hostile.py). Wine draws nothing of a child of another process's window, so the
pictures come from the preview routine in the host's own process; Vorn.scr /p is checked from
inside its host (win32/e2e_helper.cpp, preview)."""
import re

import numpy as np
import pytest
from PIL import Image

import harness as h

HOST = "Vorn preview host"
PLACE = (60, 50)  # where the host's area lies on the screen
STILL = (152, 112)  # the preview still's size
QUICK_EXIT_S = 5  # "at once", with room for Wine's start-up
PAINT_S = 10  # the host's window up to the still inside it
HOST_REPORT_S = 40  # the host waits up to 20 s for the program's end
END_AFTER_DESTROY_S = 6  # Wine delivers WM_DESTROY about 2 s after the area goes, under Xvfb

@pytest.fixture
def still():
    path = h.NATIVE / "art/preview_still.bmp"
    assert path.exists(), f"{path} is missing: build the native preset (it runs tools/artgen)"
    still = np.asarray(Image.open(path).convert("RGB"))
    assert still.shape == (STILL[1], STILL[0], 3)
    assert still.any(axis=2).sum() > 500, "a (nearly) black still would prove little"
    return still

def host(wine, program, size, *options):  # starting `program` /p <its handle>, or in-process
    return wine.helper("e2e_helper.exe", "preview", program, *PLACE, *size, *options)

def reported(proc, pattern, timeout):
    """The first line of the host's that matches pattern (waited for)."""
    return h.poll(lambda: re.search(f"^{pattern}$", proc.output(), re.M), timeout,
                  lambda: f"the host to report '{pattern}'; {proc.tail()}")

def expect_shows(screen, proc, size, expected, name):
    assert screen.find(HOST).rect == (area := (*PLACE, *size))
    same = h.wait(lambda: np.array_equal(screen.shot(area), expected), PAINT_S)
    shot = screen.shot(area)
    assert same, f"{h.save_png(expected, name + '-expected')} and {h.save_png(shot, name)} " \
                 f"differ in {(shot != expected).any(axis=2).sum()} pixels; {proc.tail()}"
    h.save_png(shot, name)

@pytest.mark.parametrize("size", [STILL, (300, 200), (100, 60)], ids=["exact", "larger", "smaller"])
def test_the_area_shows_the_still_at_its_top_left_and_black_beyond(screen, wine, still, size):
    expected = np.zeros((size[1], size[0], 3), np.uint8)
    w, hgt = min(size[0], STILL[0]), min(size[1], STILL[1])
    expected[:hgt, :w] = still[:hgt, :w]
    expect_shows(screen, host(wine, "in-process", size), size, expected, "preview-%dx%d" % size)

def test_the_preview_loop_ends_with_the_area_that_holds_it(screen, wine, still):
    proc = host(wine, "in-process", STILL, "--destroy-after-ms", 200)
    expect_shows(screen, proc, STILL, still, "preview-before-destroy")
    reported(proc, "ended", END_AFTER_DESTROY_S)
    assert proc.exit_code(QUICK_EXIT_S) == 0

GARBAGE = b"[Section]\r\nSpeed=abc\r\nNum=-7\r\nIntval=1e999\r\n\x01\x02garbage\r\n"

@pytest.mark.parametrize("size, ini", [(STILL, None), ((300, 200), None), (STILL, GARBAGE)],
                         ids=["still-size", "larger", "a-settings-file-of-garbage-does-not-matter"])
def test_vorn_scr_puts_its_window_inside_the_area_filling_it(screen, wine, vorn, size, ini):
    """It sits inside the host, fills it, runs on, maps no window itself, writes no file."""
    if ini:
        vorn.write("Vorn.ini", ini)
    screen.watch()
    proc = host(wine, h.winpath(vorn.program), size)
    assert reported(proc, r"child \d+ at (.*)", h.FIRST_WINDOW_S)[1] == "0 0 size %d %d" % size
    assert h.wait(lambda: "exit " in proc.output(), 1) is None, f"it ended; {proc.tail()}"
    assert {w.caption for w in screen.mapped()} <= {HOST} and vorn.read("Vorn.ini") == ini

def test_it_ends_when_the_preview_area_is_destroyed(wine, vorn):
    proc = host(wine, h.winpath(vorn.program), STILL, "--destroy-after-ms", 300)
    assert reported(proc, r"child \d+ at (.*)", h.FIRST_WINDOW_S)[1] == "0 0 size %d %d" % STILL
    end = reported(proc, r"(exit \d+|running) after (\d+) ms", HOST_REPORT_S)
    assert end[1] == "exit 0" and int(end[2]) <= END_AFTER_DESTROY_S * 1000, proc.tail()
    assert proc.output().index("destroyed") < proc.output().index("exit "), "it ended first"
    assert proc.exit_code(QUICK_EXIT_S) == 0

def test_a_stale_handle_ends_it_at_once_without_a_window(screen, wine, vorn):
    """The handle of a window destroyed before the start."""
    screen.watch()
    proc = host(wine, h.winpath(vorn.program), STILL, "--stale")
    end = reported(proc, r"(exit \d+|running) after (\d+) ms", HOST_REPORT_S)
    assert end[1] == "exit 0" and int(end[2]) <= QUICK_EXIT_S * 1000, proc.tail()
    assert proc.exit_code(QUICK_EXIT_S) == 0 and screen.mapped() == []
