"""Faults of the bench itself (input that never arrives, windows or colours misread, a prefix set
up wrong, waits that fail silently): when these fail, no other result can be trusted."""
import pytest
from Xlib import X

import harness as h

RUNNING_COPY_COLOUR = (0x20, 0xC0, 0x60)  # the helper paints a running copy's client area so

def test_input_reaches_the_display(screen):
    for step, pointer in [(["mousemove", 200, 150], (200, 150, 0)),
                          (["mousemove_relative", "--", 15, -10], (215, 140, 0)),
                          (["keydown", "Shift_L"], (215, 140, X.ShiftMask)),
                          (["keyup", "Shift_L", "keydown", "Control_L"], (215, 140, X.ControlMask)),
                          (["keyup", "Control_L", "mousedown", 1], (215, 140, X.Button1Mask)),
                          (["mouseup", 1], (215, 140, 0))]:
        screen.xdo(*step)
        assert screen.pointer()[:3] == pointer, step
    with pytest.raises(AssertionError, match="NoSuchKeyName"):
        screen.xdo("key", "NoSuchKeyName")

def test_windows_are_found_painted_recorded_gone_when_killed_and_waits_say_what(screen, wine):
    with pytest.raises(AssertionError, match="'no such window'"):
        screen.find("no such window", 0.1)
    screen.watch()
    copy = wine.helper("e2e_helper.exe", "running-copy", "dialog")
    window = screen.find(h.DIALOG)
    assert window.pid == copy.pid
    screen.wait_shot(window.rect, lambda s: (s == RUNNING_COPY_COLOUR).all(axis=2).mean() > 0.9,
                     f"the running copy's colour {RUNNING_COPY_COLOUR}")
    assert h.Image.open(h.save_png(screen.shot(), "self-test-running-copy")).size == screen.size
    assert (h.DIALOG, copy.pid) in [(w.caption, w.pid) for w in screen.mapped()]
    with pytest.raises(AssertionError, match="still running"):
        copy.exit_code(0.2)
    assert copy.running()
    copy.kill()
    screen.gone(h.DIALOG)

def test_the_prefix_replaces_the_japanese_font_and_sets_the_windows_version_per_program(wine):
    assert wine.reg_value(h.FONTS_KEY, "ＭＳ Ｐゴシック") == "IPAPGothic"
    for version, platform in [("win98", 1), (None, 2)]:  # VER_PLATFORM_WIN32_WINDOWS, _NT
        wine.set_version("e2e_helper.exe", version)
        assert wine.helper("e2e_helper.exe", "platform").exit_code(15) == platform
