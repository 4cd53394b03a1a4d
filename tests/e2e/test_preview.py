"""Faults of preview mode: a window that is not inside the preview area or does not fill it, the
wrong picture, a preview that outlives its area or lingers on a handle that names no window.

Wine draws nothing of a child window whose parent belongs to another process, so the pictures
are checked with the same preview routine running inside the host's own process
(win32/e2e_helper.cpp: preview in-process); Vorn.scr /p is checked from inside its host."""
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
    return np.asarray(Image.open(path).convert("RGB"))

def host(wine, program, size, *options):
    """The preview area's stand-in starting `program` /p <its handle>, or the preview itself."""
    return wine.helper("e2e_helper.exe", "preview", program, *PLACE, *size, *options)

def reported(proc, pattern, timeout):
    """The first line of the host's that matches pattern (waited for)."""
    return h.poll(lambda: re.search(f"^{pattern}$", proc.output(), re.M), timeout,
                  lambda: f"the host to report '{pattern}'; {proc.tail()}")

def expect_shows(screen, proc, size, expected, name):
    assert screen.find(HOST).rect == (*PLACE, *size)
    shot = lambda: [screen.shot((*PLACE, *size))]
    if not h.wait(lambda: np.array_equal(*shot(), expected), PAINT_S):
        h.save_png(expected, f"preview-{name}-expected")
        pytest.fail(f"{(shot()[0] != expected).any(axis=2).sum()} pixels differ "
                    f"({h.save_png(*shot(), f'preview-{name}')}); {proc.tail()}")
    h.save_png(*shot(), f"preview-{name}")

def expect_embedded(screen, proc, size):
    """Vorn.scr's window sits inside the host, filling it, runs on, and maps no window itself."""
    assert reported(proc, r"child \d+ at (.*)", h.FIRST_WINDOW_S)[1] == "0 0 size %d %d" % size
    assert h.wait(lambda: "exit " in proc.output(), 1) is None, f"Vorn.scr /p ended; {proc.tail()}"
    assert {w.caption for w in screen.mapped()} <= {HOST}

@pytest.mark.parametrize("size", [STILL, (300, 200), (100, 60)], ids=["exact", "larger", "smaller"])
def test_the_area_shows_the_still_at_its_top_left_and_black_beyond(screen, wine, still, size):
    assert still.shape == (STILL[1], STILL[0], 3)
    assert still.any(axis=2).sum() > 500, "a (nearly) black still would prove little"
    expected = np.zeros((size[1], size[0], 3), np.uint8)
    w, hgt = min(size[0], STILL[0]), min(size[1], STILL[1])
    expected[:hgt, :w] = still[:hgt, :w]
    expect_shows(screen, host(wine, "in-process", size), size, expected, f"{size[0]}x{size[1]}")

def test_the_preview_loop_ends_with_the_area_that_holds_it(screen, wine, still):
    proc = host(wine, "in-process", STILL, "--destroy-after-ms", 200)
    expect_shows(screen, proc, STILL, still, "in-process-before-destroy")
    reported(proc, "ended", END_AFTER_DESTROY_S)
    assert proc.exit_code(QUICK_EXIT_S) == 0

@pytest.mark.parametrize("size", [STILL, (300, 200)], ids=["still-size", "larger"])
def test_vorn_scr_puts_its_window_inside_the_area_filling_it(screen, wine, vorn, size):
    screen.watch()
    expect_embedded(screen, host(wine, h.winpath(vorn.program), size), size)

def test_a_settings_file_full_of_garbage_does_not_matter(screen, wine, vorn):
    garbage = b"[Section]\r\nSpeed=abc\r\nNum=-7\r\nIntval=1e999\r\n\x01\x02garbage\r\n"
    vorn.write("Vorn.ini", garbage)
    screen.watch()
    expect_embedded(screen, host(wine, h.winpath(vorn.program), STILL), STILL)
    assert vorn.read("Vorn.ini") == garbage, "preview mode rewrote the settings file"

def test_it_ends_when_the_preview_area_is_destroyed(wine, vorn):
    proc = host(wine, h.winpath(vorn.program), STILL, "--destroy-after-ms", 300)
    assert reported(proc, r"child \d+ at (.*)", h.FIRST_WINDOW_S)[1] == "0 0 size %d %d" % STILL
    end = reported(proc, r"(exit \d+|running) after (\d+) ms", HOST_REPORT_S)
    assert end[1] == "exit 0" and int(end[2]) <= END_AFTER_DESTROY_S * 1000, proc.tail()
    assert proc.output().index("destroyed") < proc.output().index("exit "), "it ended first"
    assert proc.exit_code(QUICK_EXIT_S) == 0

def test_a_stale_handle_of_a_destroyed_window_ends_it_at_once_without_a_window(screen, wine, vorn):
    screen.watch()
    proc = host(wine, h.winpath(vorn.program), STILL, "--stale")
    end = reported(proc, r"(exit \d+|running) after (\d+) ms", HOST_REPORT_S)
    assert end[1] == "exit 0" and int(end[2]) <= QUICK_EXIT_S * 1000, proc.tail()
    assert proc.exit_code(QUICK_EXIT_S) == 0 and screen.mapped() == []

@pytest.mark.parametrize("args", [["/p"], ["/p", "abc"], ["/p", "123456"], ["/p", "99999999999"]],
                         ids=["no-handle", "letters", "no-such-window", "beyond-32-bits"])
def test_a_handle_that_names_no_window_ends_it_at_once_without_a_window(screen, wine, vorn, args):
    screen.watch()
    assert screen.until_end(wine.launch(vorn.program, *args), QUICK_EXIT_S) == (0, [])
