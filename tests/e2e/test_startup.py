"""Faults of start-up: a second copy that does not step aside for a running one. (Switches with
nothing to do are in test_hostile.py.)"""
import pytest

import harness as h

QUICK_EXIT_S = 5  # "at once", with room for Wine's start-up

def test_the_saver_alone_opens_its_full_screen_window(screen, wine, vorn):
    """The control for the tests below: a second start that shows nothing is stepping aside."""
    saver = wine.launch(vorn.program, "/s")
    window = screen.find(h.MAIN)
    assert (window.pid, window.rect) == (saver.pid, (0, 0, *screen.size))
    assert saver.running()

@pytest.mark.parametrize("args", [["/s"], ["/c"], ["/p", "1234"]], ids=["s", "c", "p-1234"])
@pytest.mark.parametrize("running", ["main", "dialog"])
def test_a_second_start_beside_a_running_copy_exits_at_once(screen, wine, vorn, running, args):
    copy = wine.helper("e2e_helper.exe", "running-copy", running)
    caption = h.MAIN if running == "main" else h.DIALOG
    assert screen.find(caption).pid == copy.pid
    screen.watch()
    assert screen.until_end(wine.launch(vorn.program, *args), QUICK_EXIT_S) == (0, [])
    assert len(screen.windows(h.MAIN)) == (running == "main")
    assert copy.running()
