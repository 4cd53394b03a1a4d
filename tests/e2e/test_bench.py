"""Faults of the bench itself (input that never arrives, windows or colours misread, a prefix set
up wrong, waits that fail silently): when these fail, no other result can be trusted."""
import numpy as np
import pytest
from Xlib import X

import harness as h

RUNNING_COPY_COLOUR = (0x20, 0xC0, 0x60)  # running_copy.exe paints its client area so


def test_input_reaches_the_display(screen):
    screen.xdo("mousemove", 200, 150)
    assert screen.pointer()[:2] == (200, 150)
    screen.xdo("mousemove_relative", "--", 15, -10)
    assert screen.pointer()[:2] == (215, 140)
    for key, mask in (("Shift_L", X.ShiftMask), ("Control_L", X.ControlMask)):
        screen.xdo("keydown", key)
        assert screen.pointer()[2] & mask, f"{key} is not down"
        screen.xdo("keyup", key)
        assert not screen.pointer()[2] & mask, f"{key} is still down"
    screen.xdo("mousedown", 1)
    assert screen.pointer()[2] & X.Button1Mask
    screen.xdo("mouseup", 1)
    assert not screen.pointer()[2] & X.Button1Mask
    with pytest.raises(AssertionError, match="NoSuchKeyName"):
        screen.xdo("key", "NoSuchKeyName")


def test_a_window_is_found_seen_mapped_and_gone_when_killed(screen, wine):
    screen.watch()
    copy = wine.helper("running_copy.exe", "dialog")
    window = screen.find(h.DIALOG)
    assert window.pid == copy.pid
    screen.wait_shot(window.rect, lambda shot: (shot == RUNNING_COPY_COLOUR).all(axis=2).mean() > 0.9,
                     f"running_copy.exe's colour {RUNNING_COPY_COLOUR}")
    path = h.save_png(screen.shot(), "self-test-running-copy")
    assert h.Image.open(path).size == screen.size
    assert (h.DIALOG, copy.pid) in [(w.caption, w.pid) for w in screen.mapped()]
    copy.kill()
    screen.gone(h.DIALOG)


def test_a_window_that_ends_by_itself_is_gone(screen, wine):
    copy = wine.helper("running_copy.exe", "main", "1")
    screen.find(h.MAIN)
    assert copy.exit_code(15) == 0
    screen.gone(h.MAIN)


def test_waits_that_run_out_say_what_they_waited_for(screen, wine):
    with pytest.raises(h.WaitTimeout, match="'no such window'"):
        screen.find("no such window", 0.1)
    copy = wine.helper("running_copy.exe", "main")
    with pytest.raises(AssertionError, match="still running"):
        copy.exit_code(0.2)
    assert copy.running()


def test_the_prefix_replaces_the_japanese_font(wine):
    assert wine.reg_value(h.FONTS_KEY, "ＭＳ Ｐゴシック") == "IPAPGothic"


def test_the_windows_version_is_set_per_program(wine):
    wine.set_version("running_copy.exe", "win98")
    assert wine.helper("running_copy.exe", "platform").exit_code(15) == 1  # VER_PLATFORM_WIN32_WINDOWS
    wine.set_version("running_copy.exe", None)
    assert wine.helper("running_copy.exe", "platform").exit_code(15) == 2  # VER_PLATFORM_WIN32_NT
