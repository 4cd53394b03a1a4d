"""Faults under hostile input (settings files anyone may have edited, command lines of each
shape): a crash (another exit code, and Wine's report is a window of its own), a hang (every run
has a deadline), a window its mode does not call for, a file written where nothing should be,
or settings misread through the system or written over other keys."""
import random

import pytest

import harness as h
from test_dialog import CLOSE_BOX, SET, Dialog, click

END_S = 10  # Wine waits 2 s to hide a window without a window manager
LONG = 10_000

def section(lines):
    return b"[Section]\r\n" + lines

# A case of each kind: the rules of the readings are proven by the unit tables
# (core_test.cpp) and the fuzz targets.
SETTINGS_FILES = {
    "empty": b"",
    "one-megabyte-of-random-bytes": random.Random(20240611).randbytes(1 << 20),
    "ten-thousand-character-values": section(b"Speed=" + b"9" * LONG + b"\r\nNum=" + b"x" * LONG),
    "nul-bytes": b"[Sec\0tion]\r\nNum=\0 12\r\n" + section(b"Speed=3\0\0\r\nNum=4\0" + b"00\r\n"),
    "utf8-byte-order-mark": b"\xef\xbb\xbf" + section(b"Num=50\r\nSpeed=12\r\n"),
    "utf16le-byte-order-mark": "\ufeff[Section]\r\nNum=50\r\nSpeed=12\r\n".encode("utf-16-le"),
    "duplicate-sections-and-keys":
        section(b"Num=10\r\nNum=300\r\n") + section(b"Speed=15\r\nNum=20\r\n"),
    "largest-swarm": section(b"Num=100000"),
}

SET_WRITES = {  # what Set writes after each of these files: the values read, whole numbers
    "one-megabyte-of-random-bytes": (5, 200, 30),
    "utf16le-byte-order-mark": (12, 50, 30),
    # Read as the system reads ini files (blanks, case, quotes), then as the program does
    # (rounding, 0 for no number); other keys stay (the values after the three).
    "any-case-blanks-quotes-words": (4, 150, 0),
    "other-keys": (5, 200, 30, b"Keep=yes", b"Mine=1"),
}
SET_ONLY_FILES = {
    "any-case-blanks-quotes-words": b"[section]\r\nspeed = 3.5 \r\nNUM=\"150\"\r\nIntval=abc\r\n",
    "other-keys": b"[Other]\r\nKeep=yes\r\n" + section(b"Mine=1\r\n"),
}

COMMAND_LINES = {  # what each shows: "saver", "dialog" (closed by its close box) or "exit"
    "dash-upper-s": (["-S"], "saver"), "slash-upper-c": (["/C"], "dialog"),
    "preview-no-such-window": (["/p", "123456"], "exit"), "unknown": (["/x"], "exit"),
    # A text (not a list) goes through cmd, which passes it exactly: wine would quote it.
    "preview-blanks-in-a-row-before-the-handle": ("/p   12", "exit"),
    # On the NT family /a (change the password) belongs to the system, not to the saver.
    "password-with-a-number": (["/a", "1234"], "exit"),
    "ten-thousand-characters-saver": (["/s" + "s" * (LONG - 2)], "saver")}

@pytest.mark.parametrize("ini, args, outcome", [
    *[pytest.param(ini, ["/s"], "saver", id=f"file-{name}") for name, ini in
      SETTINGS_FILES.items()],
    *[pytest.param({**SETTINGS_FILES, **SET_ONLY_FILES}[name], ["/c"], written,
                   id=f"set-after-file-{name}")
      for name, written in SET_WRITES.items()],
    *[pytest.param(None, *case, id=name) for name, case in COMMAND_LINES.items()]])
def test_it_shows_what_its_mode_calls_for_and_ends_cleanly(screen, wine, vorn, ini, args, outcome):
    """Exit code 0 in time; no window but the mode's (or one gone before it was read: no crash
    report, which waits for the user); the folder as it was, but for what Set writes."""
    if ini is not None:
        vorn.write("Vorn.ini", ini)
    before = vorn.files()
    screen.watch()
    proc = wine.launch("cmd", "/c", f"{h.winpath(vorn.program)} {args}", cwd=vorn.dir) \
        if type(args) is str else wine.launch(vorn.program, *args)
    allowed = {"exit": None, "saver": h.MAIN}.get(outcome, h.DIALOG)
    if outcome == "saver":
        screen.saver(proc)
        screen.xdo("key", "space")
    elif allowed == h.DIALOG:
        Dialog(screen, vorn, proc).xdo(*click(CLOSE_BOX if outcome == "dialog" else SET))
    code, mapped = screen.until_end(proc, END_S if allowed or type(args) is str else h.QUICK_EXIT_S)
    assert code == 0, f"exit code {code}; {proc.tail()}"
    assert all(w.caption == allowed or (allowed and w.pid == -1) for w in mapped), mapped
    now = vorn.files()
    changed = {name for name in now.keys() | before.keys() if now.get(name) != before.get(name)}
    assert changed <= ({"Vorn.ini"} if type(outcome) is tuple else set()), changed
    if type(outcome) is tuple:
        values = h.settings_in(now["Vorn.ini"])
        assert [values.get(k) for k in ("speed", "num", "intval")] == list(map(str, outcome[:3]))
        assert all(kept in now["Vorn.ini"] for kept in outcome[3:]), now["Vorn.ini"]
