"""Faults under hostile input (settings files anyone may have edited, command lines of every
shape): a crash (another exit code, and Wine's report is a window of its own), a hang (every run
has a deadline), a window its mode does not call for, or a file written where nothing should be."""
import random

import pytest

import harness as h
from test_dialog import CLOSE_BOX, SET, Dialog, click

QUICK_EXIT_S = 5  # "at once", with room for Wine's start-up
END_S = 10  # Wine waits 2 s to hide a window without a window manager
LONG = 10_000

def section(lines):
    return b"[Section]\r\n" + lines

SETTINGS_FILES = {
    "missing": None,
    "empty": b"",
    "one-megabyte-of-random-bytes": random.Random(20240611).randbytes(1 << 20),
    "ten-thousand-character-values": section(b"Speed=" + b"9" * LONG + b"\r\nNum=" + b"x" * LONG),
    "nul-bytes": b"[Sec\0tion]\r\nNum=\0 12\r\n" + section(b"Speed=3\0\0\r\nNum=4\0" + b"00\r\n"),
    "utf8-byte-order-mark": b"\xef\xbb\xbf" + section(b"Num=50\r\nSpeed=12\r\n"),
    "utf16le-byte-order-mark": "\ufeff[Section]\r\nNum=50\r\nSpeed=12\r\n".encode("utf-16-le"),
    "duplicate-sections-and-keys":
        section(b"Num=10\r\nNum=300\r\n") + section(b"Speed=15\r\nNum=20\r\n"),
    "32-bit-edges-above": section(b"Speed=2147483647\r\nNum=2147483648\r\nIntval=2147483646\r\n"),
    "32-bit-edges-below":
        section(b"Speed=-2147483649\r\nNum=-2147483648\r\nIntval=-2147483647\r\n"),
    **{f"num-{n}": section(b"Num=" + n.encode()) for n in
       ("0", "-1", "1", "400", "100000", "100001", "1000000000", "2147483647")},
    "speed-lowest": section(b"Speed=-2147483648"),
    "speed-highest": section(b"Speed=2147483647"),
    "intval-zero": section(b"Intval=0"),
    "intval-negative": section(b"Intval=-5"),
}

class Run:
    """One program run with a record of the windows it maps and of its folder as it was."""

    def __init__(self, screen, wine, vorn, *args, exe=None):
        self.screen, self.vorn, self.before = screen, vorn, vorn.files()
        screen.watch()
        self.proc = wine.launch(exe or vorn.program, *args, cwd=vorn.dir)

    def expect_clean_end(self, timeout, allowed=None, may_change=None):
        """Exit code 0 in time, no window but one captioned `allowed` (or one gone before it could
        be read: no crash report, which waits for the user), the folder as it was."""
        code, mapped = self.screen.until_end(self.proc, timeout)
        assert code == 0, f"exit code {code}; {self.proc.tail()}"
        assert all(w.caption == allowed or (allowed and w.pid == -1) for w in mapped), mapped
        now, was = self.vorn.files(), self.before
        assert {n for n in now.keys() | was.keys() if now.get(n) != was.get(n)} <= {may_change}

def expect_saver_ends_on_a_key(screen, wine, vorn, *args):
    run = Run(screen, wine, vorn, *args)
    window = screen.find(h.MAIN)
    assert window.pid == run.proc.pid
    h.poll(lambda: screen.keys_go_to(window.id), 5, "the keyboard focus on the saver")
    screen.xdo("key", "space")
    run.expect_clean_end(END_S, h.MAIN)

@pytest.mark.parametrize("ini", SETTINGS_FILES.values(), ids=SETTINGS_FILES.keys())
def test_the_saver_shows_its_window_and_ends_on_a_key_whatever_the_file(screen, wine, vorn, ini):
    if ini is not None:
        vorn.write("Vorn.ini", ini)
    expect_saver_ends_on_a_key(screen, wine, vorn, "/s")

@pytest.mark.parametrize("name, written", [pytest.param(*case, id=case[0]) for case in [
    ("missing", (5, 200, 30)),
    ("one-megabyte-of-random-bytes", (5, 200, 30)),
    ("utf16le-byte-order-mark", (12, 50, 30)),
    ("num-100000", (5, 100000, 30)),  # a bar cannot show it, but the setting keeps it
    ("32-bit-edges-above", (2147483647, 0, 2147483646)),
]])
def test_set_writes_the_values_read_as_whole_numbers(screen, wine, vorn, name, written):
    if SETTINGS_FILES[name] is not None:
        vorn.write("Vorn.ini", SETTINGS_FILES[name])
    run = Run(screen, wine, vorn, "/c")
    Dialog(screen, vorn, run.proc).xdo(*click(SET))
    run.expect_clean_end(END_S, h.DIALOG, may_change="Vorn.ini")
    values = h.settings_in(vorn.read("Vorn.ini") or b"")
    assert tuple(int(values.get(key, "-")) for key in ("speed", "num", "intval")) == written, values

def switch_forms():
    """Every switch in either case, with '/', '-' or nothing before it (alone, a letter is taken
    for the program's first character and means nothing); p and a without a number do nothing."""
    for letter in "scpa":
        for shown in (letter, letter.upper()):
            for prefix, name in (("/", "slash"), ("-", "dash"), ("", "bare")):
                outcome = {"s": "saver", "c": "dialog"}.get(letter, "exit") if prefix else "exit"
                yield pytest.param([prefix + shown], outcome, id=f"{name}-{shown}")

ODD_COMMAND_LINES = [
    pytest.param(["/p", "0"], "exit", id="preview-zero"),
    pytest.param(["/p", "-1"], "exit", id="preview-minus-one"),
    pytest.param(["/p", "99999999999"], "exit", id="preview-beyond-32-bits"),
    pytest.param(["/p", "12abc"], "exit", id="preview-digits-then-letters"),
    pytest.param(["/p", "9" * LONG], "exit", id="preview-ten-thousand-digits"),
    pytest.param(["/c:"], "dialog", id="configure-with-colon"),
    pytest.param(["/x"], "exit", id="unknown-switch"),
    pytest.param(["/a"], "exit", id="password-alone"),
    # On the NT family /a (change the password) belongs to the system, not to the saver.
    pytest.param(["/a", "1234"], "exit", id="password-with-a-number"),
    pytest.param(["/a", "x"], "exit", id="password-with-text"),
    pytest.param(["/x" + "x" * (LONG - 2)], "exit", id="ten-thousand-characters-unknown"),
    pytest.param(["/s" + "s" * (LONG - 2)], "saver", id="ten-thousand-characters-saver"),
]

@pytest.mark.parametrize("args, outcome", [*switch_forms(), *ODD_COMMAND_LINES])
def test_each_command_line_ends_as_its_mode_says(screen, wine, vorn, args, outcome):
    if outcome == "saver":
        return expect_saver_ends_on_a_key(screen, wine, vorn, *args)
    run = Run(screen, wine, vorn, *args)
    if outcome == "exit":
        return run.expect_clean_end(QUICK_EXIT_S)
    Dialog(screen, vorn, run.proc).xdo(*click(CLOSE_BOX))
    run.expect_clean_end(END_S, h.DIALOG)

def test_blanks_in_a_row_before_the_preview_handle_are_skipped(screen, wine, vorn):
    """The handle then names no window: the program ends at once. (cmd passes the text exactly;
    wine's own argument list would quote it.)"""
    run = Run(screen, wine, vorn, "/c", h.winpath(vorn.program) + " /p   12", exe="cmd")
    run.expect_clean_end(2 * QUICK_EXIT_S)
