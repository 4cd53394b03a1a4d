"""Faults of the settings dialog (Vorn.scr /c): the wrong place or look at 100 % or 150 %, bars,
buttons, drags or keys that do not work, digits drawn as boxes, a settings file written when it
should not be (or wrong), a second Settings click lost, no end. Where it keeps its settings when
the file beside it cannot be written (a folder that takes no new file, a path too long for the
profile functions): the user's Roaming folder, read back at the next start; nowhere at all: a
message box naming the places, and no file anywhere. Never a file in the working directory."""
import contextlib, shutil, subprocess, tempfile
from pathlib import Path

import pytest

import harness as h

END_S = 8  # without a window manager Wine waits 2 s for a destroyed window to go
REACT_S = 3  # input to what it changes on the screen
# Places in the dialog, window pixels (its layout in twips / 15): x, y, width, height.
SPEED_LABEL, NUM_LABEL, INTVAL_LABEL = (320, 56, 25, 13), (320, 80, 25, 13), (320, 104, 25, 13)
SPEED_BAR, NUM_BAR, INTVAL_BAR = (232, 52, 85, 17), (232, 76, 85, 17), (232, 100, 85, 17)
PREVIEW, ON_PREVIEW = (52, 52, 32, 64), (68, 84)
SET, CANCEL, CLOSE_BOX, TITLE_GRIP = (233, 176), (329, 176), (383, 11), (200, 11)
SPEED_RIGHT = (311, 60)  # the right arrow of HS(1)
PLACES = {96: (314, 269, 396, 230), 144: (215, 212, 594, 345)}  # centred on the 1024 x 768 screen

def click(point):
    return ["mousemove", point, "click", 1]

def digits(label):
    """How many digits a value label shows: its text is right-aligned, 6 to 7 pixels a digit."""
    columns = (label < 70).all(axis=2).any(axis=0)  # columns holding dark text pixels
    left = int(columns.argmax())
    return 0 if not columns.any() else 1 if left >= 16 else 2 if left >= 10 else 3

class Dialog:
    """Vorn.scr's settings dialog, open and painted; places are (x, y) in it at 96 dpi."""

    def __init__(self, screen, vorn, proc, dpi=96):
        self.screen, self.vorn, self.proc, self.dpi = screen, vorn, proc, dpi
        self.window = screen.find(h.DIALOG)
        near = lambda s: (abs(s[0, 0].astype(int) - (155, 155, 185)) <= 2).all()
        self.wait(near, (5, 57, 1, 1), "its shading")
        self.wait(lambda s: digits(s) > 0, SPEED_LABEL, "the value beside HS(1)")

    def scale(self, *values):
        return tuple(v * self.dpi // 96 for v in values)

    def rect(self, r=None):
        x, y, w, h_ = self.scale(*r) if r else (0, 0, *self.window.rect[2:])
        return self.window.rect[0] + x, self.window.rect[1] + y, w, h_

    def shot(self, r=None):
        return self.screen.shot(self.rect(r))

    def wait(self, accept, r, what, timeout=REACT_S):
        return self.screen.wait_shot(self.rect(r), accept, what, timeout)

    def xdo(self, *args):  # xdotool, with the dialog's (x, y) places put on the screen
        x, y = self.window.rect[:2]
        self.screen.xdo(*[c for a in args for c in (
            (x + self.scale(a[0])[0], y + self.scale(a[1])[0]) if type(a) is tuple else (a,))])

    def changes(self, label, *args):  # sends the input; waits until the label shows another text
        before = self.shot(label)
        self.xdo(*args)
        self.wait(lambda now: (now != before).any(), label, f"{label} to change after {args}")

    def close(self, *args):  # the values of the settings file it leaves (None: no file)
        self.xdo(*args)
        assert self.proc.wait(END_S) == 0, f"Vorn.scr /c did not end with code 0 after {args}"
        self.screen.gone(h.DIALOG)
        return (data := self.vorn.read("Vorn.ini")) and h.settings_in(data)

@pytest.fixture
def dialog(screen, wine, vorn):  # Vorn.scr /c of a folder, started in an empty folder of its own
    cwd = Path(tempfile.mkdtemp(prefix="cwd-", dir=h.WORK))
    yield lambda dpi=96, folder=vorn: Dialog(
        screen, folder, wine.launch(folder.program, "/c", cwd=cwd), dpi)
    assert not any(cwd.iterdir()) and not (wine.prefix / "drive_c/windows/Vorn.ini").exists()

@pytest.fixture(params=[96, 144], ids=["100%", "150%"])
def dpi(request, wine):
    if request.param != 96:
        wine.set_dpi(request.param)
    yield request.param
    if request.param != 96:
        wine.set_dpi(96)

SAVED = {"speed": "6", "num": "200", "intval": "30"}
ORIGINAL = b"; mine\r\n[Section]\r\nSpeed=7\r\nNum= 150\r\n[Other]\r\nKeep=1\r\n"

# A session: the settings file before (its values shown), input and the label it changes, how
# the dialog is closed and what it leaves: the file's values, the same bytes, or no file (None).
@pytest.mark.parametrize("ini, steps, closing, left", [
    (ORIGINAL, [(SPEED_LABEL, click(SPEED_RIGHT))],
     ["mousemove", CANCEL, "mousedown", 1, "mousemove", SET, "mouseup", 1], ORIGINAL),
    # Without a window manager keys go where the pointer is: it rests on the dialog's preview.
    (None, [(SPEED_LABEL, ["mousemove", ON_PREVIEW, "key", "Right"]),
            (NUM_LABEL, ["key", "Tab", "End"])], click(SET), {**SAVED, "num": "400"}),
    (None, [(SPEED_LABEL, ["mousemove", ON_PREVIEW, "key", "Right"])],
     ["keydown", "Alt_L", "key", "F4", "keyup", "Alt_L"], None),
], ids=["a-release-belongs-to-the-button-pressed-cancel-leaves-the-file-as-it-was",
        "keys-work-the-focused-bar-tab-moves-on", "alt-f4-writes-nothing"])
def test_a_session_leaves_the_settings_file(vorn, dialog, ini, steps, closing, left):
    if ini:
        vorn.write("Vorn.ini", ini)
    d = dialog()
    assert tuple(digits(d.shot(r)) for r in (SPEED_LABEL, NUM_LABEL, INTVAL_LABEL)) == (1, 3, 2)
    for label, step in steps:
        d.changes(label, *step)
    values = d.close(*closing)
    assert (vorn.read("Vorn.ini") if type(left) is bytes else values) == left

def test_at_any_scaling_it_stands_centred_shaded_follows_the_pointer_and_draws_its_digits(
        screen, wine, dpi, dialog):
    """Its size in twips at the screen's resolution; shading where no control covers it; bars'
    ends mostly light (arrows); the preview's flame scaled and moving; a drag of (20, 10) pixels
    moving it by as much; digits drawn in the font chosen from those installed (5 and 6 differ:
    not boxes); Enter taking Set's way (Esc taking Cancel's: the next test)."""
    assert wine.reg_value(h.FONTS_KEY, "ＭＳ Ｐゴシック") is None  # the font chosen from those there
    d = dialog(dpi)
    assert d.window.rect == PLACES[dpi]
    shot = d.shot().astype(int)
    # At 100 %: |sin(y / (230 / 3.142))| x 220 on row y, blue 30 more, to the last column and row.
    for x, y, v in [(395, 0, 0), (395, 1, 3), (5, 115, 220), (5, 229, 3)] * (dpi == 96):
        assert tuple(shot[y, x]) == (v, v, v + 30), f"row {y} at x {x}"
    r, _, b = shot[d.scale(11)[0], d.scale(200)[0]]  # the title bar's dark blue picture
    assert b > r + 40
    for bar in (SPEED_BAR, NUM_BAR, INTVAL_BAR):
        d.wait(lambda s: (s[:, [1, 4, -5, -2]] > 150).all(axis=2).sum() > 2 * s.shape[0], bar,
               f"the arrows of the bar at {bar}")
    lit = lambda s: (s > 24).any(axis=2)  # the flame, scaled to fill its box: down to its foot
    first = d.wait(lambda s: lit(s).sum() >= 40 and lit(s)[d.scale(58)[0]:].any(), PREVIEW,
                   "the flame")
    d.wait(lambda now: (now != first).any(axis=2).sum() > 20, PREVIEW, "the flame to move", 0.5)
    h.save_png(d.shot(), "settings-dialog" + ("-150" if dpi == 144 else ""))
    # The grip is taken where the pointer is when the press is handled: it holds still first.
    x, y = d.rect((*TITLE_GRIP, 0, 0))[:2]
    moves = [a for i in range(1, 6) for a in ("mousemove", x + 4 * i, y + 2 * i, "sleep", 0.03)]
    screen.xdo("mousemove", x, y, "mousedown", 1, "sleep", 0.25, *moves, "mouseup", 1)
    moved = (PLACES[dpi][0] + 20, PLACES[dpi][1] + 10, *PLACES[dpi][2:])
    d.window = h.poll(lambda: (w := screen.window(d.window.id)).rect == moved and w, REACT_S,
                      lambda: f"the dialog at {moved}: {screen.window(d.window.id)}")
    d.changes(SPEED_LABEL, "mousemove", ON_PREVIEW, "key", "Right")
    assert d.close("key", "Return") == SAVED

# Without a window manager Wine stacks its windows as they were mapped: "to the front" shows as
# the dialog active again, its first bar taking the keys.
def test_a_second_settings_click_brings_it_to_the_front_with_its_keys(wine, vorn, dialog):
    d = dialog()
    title, speed = (90, 1, 10, 4), d.shot(SPEED_LABEL)  # a part of the title bar, then covered
    before = d.shot(title)
    wine.helper("e2e_helper.exe", "running-copy", "main")  # a window over it, now the active one
    d.wait(lambda s: (s != before).any(), title, "another window over the dialog", h.FIRST_WINDOW_S)
    d.xdo("mousemove", ON_PREVIEW, "key", "Right")
    assert h.poll(lambda: (d.shot(SPEED_LABEL) != speed).any(), 0.5) is None, "keys went to it"
    assert wine.launch(vorn.program, "/c").exit_code(h.QUICK_EXIT_S) == 0
    d.changes(SPEED_LABEL, "key", "Right")
    assert d.close("key", "Escape") is None

# What a screen reader hears through oleacc, a child of the client area each: role, name, value,
# default action, keys; then the bar with the keys, through its own window.
HEARD = [("2b", "exit button", "", "Press", "Alt+F4"), ("36", "プレビュー", "", "", ""),
         ("3", "スピード", "5", "", ""), ("3", "数", "200", "", ""),
         ("3", "クリア・インターバル", "30", "", ""), ("2b", "設定", "", "Press", "Enter"),
         ("2b", "キャンセル", "", "Press", "Esc"),
         ("1e", "https://vorn.example.org/", "https://vorn.example.org/", "Jump", ""),
         ("3", "スピード", "5", "", "")]

def test_a_screen_reader_hears_each_control_and_works_them_as_a_click_does(wine, vorn, dialog):
    """Names, roles and values from another process (oleacc marshals the dialog's own IAccessible);
    a bar set through it shows its new value beside it; Set's default action saves and closes."""
    d = dialog()
    def read(*args):
        proc = wine.helper("e2e_helper.exe", "accessible", *args)
        assert proc.exit_code(h.QUICK_EXIT_S) == 0, proc.tail()
        return [line.split("\t") for line in proc.output().splitlines()]
    heard = read()
    assert [(r[1], *r[4:]) for r in heard] == HEARD
    x, y = d.window.rect[:2]
    assert heard[2][3] == f"{x + 232} {y + 52} 85 17"  # HS(1) on the screen
    assert heard[2][2] == heard[-1][2] == "100004"  # focusable, with the keys
    assert read("3", "set", "12")[0] == ["result 0"]
    d.wait(lambda s: digits(s) == 2, SPEED_LABEL, "HS(1)'s label to show 12")
    assert read("6", "do")[0] == ["result 0"]
    assert d.proc.wait(END_S) == 0
    assert h.settings_in(vorn.read("Vorn.ini")) == {**SAVED, "speed": "12"}

@contextlib.contextmanager
def locked(*folders):  # no file can be created in them, not even by root
    try:
        for folder in folders:
            subprocess.run(["chattr", "+i", folder], check=True)
        yield
    finally:
        if folders:
            subprocess.run(["chattr", "-i", *folders], check=True)

@pytest.fixture
def roaming(wine):  # the user's Roaming folder in the prefix, with no Vorn folder before or after
    folder, = (p for p in wine.prefix.glob("drive_c/users/*/AppData/Roaming")
               if "Public" not in p.parts)
    shutil.rmtree(folder / "Vorn", ignore_errors=True)
    yield folder
    shutil.rmtree(folder / "Vorn", ignore_errors=True)

@pytest.mark.parametrize("long", [False, True], ids=["a-folder-that-takes-no-file",
                                                     "a-folder-path-of-300-characters"])
def test_set_saves_in_the_users_file_and_the_next_start_reads_it(vorn, roaming, dialog, long):
    if long:  # folders within folders: beyond what the profile functions take
        vorn = h.Folder(h.SCR, parent=h.WORK.joinpath(*["d" * 40] * 6))
        assert len(h.winpath(vorn.dir / "Vorn.ini")) >= 260
    user = roaming / "Vorn/Vorn.ini"
    with locked(*[] if long else [vorn.dir]):
        d = dialog(folder=vorn)
        d.changes(SPEED_LABEL, *click(SPEED_RIGHT))
        assert d.close(*click(SET)) is None  # no file beside it
        assert h.settings_in(user.read_bytes()) == SAVED
        user.write_bytes(b"[Section]\r\nSpeed=50\r\n")  # two digits beside HS(1) once read
        d = dialog(folder=vorn)
        assert digits(d.shot(SPEED_LABEL)) == 2
        assert d.close(*click(SET)) is None
    assert h.settings_in(user.read_bytes()) == {**SAVED, "speed": "50"}
    assert list(vorn.files()) == ["Vorn.scr"]

def test_nowhere_to_save_a_message_box_names_the_places_and_nothing_is_written(screen, wine, vorn,
                                                                               roaming, dialog):
    with locked(vorn.dir, roaming):
        d = dialog()
        d.changes(SPEED_LABEL, *click(SPEED_RIGHT))
        d.xdo(*click(SET))
        box = screen.find("Vorn", END_S)
        text = wine.helper("e2e_helper.exe", "message-text", "Vorn")
        assert text.exit_code(h.FIRST_WINDOW_S) == 0, text.tail()
        owner, first, *places = text.output().split("\n")
        assert (owner, first[:14]) == (f"owner {h.DIALOG}", "設定を保存できませんでした。"), places
        assert h.winpath(vorn.dir / "Vorn.ini") in places, places
        assert any(p.endswith(r"\AppData\Roaming\Vorn\Vorn.ini") for p in places), places
        assert d.proc.running(), "it ended before the message was read"
        x, y, width, height = box.rect
        screen.xdo("mousemove", x + width // 2, y + height // 2, "key", "Return")
        assert d.proc.exit_code(END_S) == 0
    screen.gone(f"(Vorn|{h.DIALOG})")
    assert list(vorn.files()) == ["Vorn.scr"] and not [*roaming.glob("Vorn*")]
