"""Faults of the per-user installer (/S) and uninstaller: Vorn.scr not installed or not made the
saver, its two Start-menu shortcuts missing, wrong or doubled, files, shortcuts or keys left
behind, the saver chosen before the first install not given back."""
import os
from pathlib import Path

import pytest

import harness as h

SETUP = Path(os.environ.get("VORN_E2E_INSTALLER")
             or h.SCR.parent / f"installer/Vorn-{h.VERSION}-setup.exe")
DESKTOP, VORN = r"HKCU\Control Panel\Desktop", r"HKCU\Software\Vorn"
UNINSTALL = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorn"
OTHER_SAVER = r"C:\windows\system32\other saver.scr"

@pytest.mark.parametrize("previous, installs", [(OTHER_SAVER, 1), (OTHER_SAVER, 2), (None, 1)],
                         ids=["another-saver-before", "installed-twice", "no-saver-before"])
def test_it_installs_for_the_user_and_uninstalling_gives_back_the_saver_before(
        wine, previous, installs):
    assert SETUP.exists(), f"{SETUP} is missing: build the win64 preset with makensis installed"
    wine.set_reg(DESKTOP, "SCRNSAVE.EXE", previous)
    for _ in range(installs):
        assert wine.launch(SETUP, "/S").exit_code(60) == 0
    [installed] = (wine.prefix / "drive_c/users").glob("*/AppData/Local/Programs/Vorn/Vorn.scr")
    assert installed.read_bytes() == (SETUP.parent.parent / "Vorn.scr").read_bytes()
    saver = rf"C:\users\{installed.parents[4].name}\AppData\Local\Programs\Vorn\Vorn.scr".lower()
    assert wine.reg_value(DESKTOP, "SCRNSAVE.EXE").lower() == saver
    menu = installed.parents[4] / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Vorn"
    links = {p.name: p.read_bytes().lower() for p in menu.iterdir()}  # none doubled by a reinstall
    assert links.keys() == {"Vorn settings.lnk", "Screen saver settings.lnk"}
    for name, target, args in [("Vorn settings.lnk", saver, "/c"), ("Screen saver settings.lnk",
                                r"c:\windows\system32\control.exe", "desk.cpl,,@screensaver")]:
        # Wine writes the target's path in ANSI and the arguments in UTF-16, each ending in a NUL.
        assert f"{target}\0".encode() in links[name] and \
            f"{args}\0".encode("utf-16-le") in links[name], f"{name}: not {target} {args}"
    assert wine.reg_value(DESKTOP, "ScreenSaveActive") == "1"
    assert previous is None or wine.reg_value(VORN, "PreviousScreenSaver") == previous
    assert wine.reg_value(UNINSTALL, "DisplayName")
    assert "uninstall.exe" in wine.reg_value(UNINSTALL, "UninstallString").lower()
    (installed.parent / "Vorn.ini").write_text("[Section]\r\nSpeed=7")  # the dialog's; it goes too
    assert wine.launch(installed.parent / "uninstall.exe", "/S", cwd=wine.prefix).exit_code(30) == 0
    # The uninstaller returns at once and works from a copy; the registry comes after the files.
    h.poll(lambda: not installed.parent.exists(), 30, f"{installed.parent} to go")
    h.poll(lambda: wine.run("reg", "query", UNINSTALL) == wine.run("reg", "query", VORN) == 1, 30,
           f"{VORN} and {UNINSTALL} to go")
    assert not menu.exists(), f"{menu} is left"
    assert wine.reg_value(DESKTOP, "SCRNSAVE.EXE") == previous
