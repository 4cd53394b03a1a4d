"""Where Vorn.scr /c keeps its settings when the file beside it cannot be written (a folder that
takes no new file, a path too long for the profile functions): the user's Roaming folder, read
back at the next start; nowhere at all: a message box naming the places, and no file anywhere.
Never a file in the working directory."""
import contextlib, shutil, subprocess, tempfile
from pathlib import Path

import pytest

import harness as h
from test_dialog import END_S, SAVED, SET, SPEED_LABEL, SPEED_RIGHT, Dialog, click, digits

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

@pytest.fixture
def session(screen, wine, vorn):  # Vorn.scr /c of a folder, started in an empty folder of its own
    cwd = Path(tempfile.mkdtemp(prefix="cwd-", dir=h.WORK))
    yield lambda folder: Dialog(screen, folder, wine.launch(folder.program, "/c", cwd=cwd))
    assert not any(cwd.iterdir()) and not (wine.prefix / "drive_c/windows/Vorn.ini").exists()

@pytest.mark.parametrize("long", [False, True], ids=["a-folder-that-takes-no-file",
                                                     "a-folder-path-of-300-characters"])
def test_set_saves_in_the_users_file_and_the_next_start_reads_it(vorn, roaming, session, long):
    if long:  # folders within folders: beyond what the profile functions take
        vorn = h.Folder(h.SCR, parent=h.WORK.joinpath(*["d" * 40] * 6))
        assert len(h.winpath(vorn.dir / "Vorn.ini")) >= 260
    user = roaming / "Vorn/Vorn.ini"
    with locked(*[] if long else [vorn.dir]):
        d = session(vorn)
        d.changes(SPEED_LABEL, *click(SPEED_RIGHT))
        assert d.close(*click(SET)) is None  # no file beside it
        assert h.settings_in(user.read_bytes()) == SAVED
        user.write_bytes(b"[Section]\r\nSpeed=50\r\n")  # two digits beside HS(1) once read
        d = session(vorn)
        assert digits(d.shot(SPEED_LABEL)) == 2
        assert d.close(*click(SET)) is None
    assert h.settings_in(user.read_bytes()) == {**SAVED, "speed": "50"}
    assert list(vorn.files()) == ["Vorn.scr"]

def test_nowhere_to_save_a_message_box_names_the_places_and_nothing_is_written(screen, wine, vorn,
                                                                               roaming, session):
    with locked(vorn.dir, roaming):
        d = session(vorn)
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
