"""Faults of the per-user installer (Vorn-<version>-setup.exe /S) and its uninstaller: the program
not installed or not made the screen saver, files or keys left behind, the saver chosen before
the first install not given back."""
import os
from pathlib import Path

import pytest

import harness as h

SETUP = Path(os.environ.get("VORN_E2E_INSTALLER")
             or h.SCR.parent / f"installer/Vorn-{h.VERSION}-setup.exe")
DESKTOP, VORN = r"HKCU\Control Panel\Desktop", r"HKCU\Software\Vorn"
UNINSTALL = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorn"
OTHER_SAVER = r"C:\windows\system32\other saver.scr"

@pytest.fixture
def install(wine):
    assert SETUP.exists(), f"{SETUP} is missing: build the win64 preset with makensis installed"

    def install():
        assert wine.launch(SETUP, "/S").exit_code(60) == 0
        found = list((wine.prefix / "drive_c/users").glob("*/AppData/Local/Programs/Vorn/Vorn.scr"))
        assert found, "no drive_c/users/*/AppData/Local/Programs/Vorn/Vorn.scr"
        return found[0]
    return install

def uninstall(wine, installed):
    assert wine.launch(installed.parent / "uninstall.exe", "/S", cwd=wine.prefix).exit_code(30) == 0
    # It returns at once and works from a copy; the registry comes after the files.
    h.poll(lambda: not installed.parent.exists(), 30, f"{installed.parent} to go")
    h.poll(lambda: wine.reg_export(UNINSTALL) is wine.reg_export(VORN) is None, 30,
           f"{VORN} and {UNINSTALL} to go")

def test_it_installs_for_the_user_and_uninstalling_gives_back_the_previous_saver(wine, install):
    wine.set_reg(DESKTOP, "SCRNSAVE.EXE", OTHER_SAVER)
    installed = install()
    assert installed.read_bytes() == SETUP.parent.parent.joinpath("Vorn.scr").read_bytes()
    user = installed.parents[4].name
    assert wine.reg_value(DESKTOP, "SCRNSAVE.EXE").lower() == \
        rf"C:\users\{user}\AppData\Local\Programs\Vorn\Vorn.scr".lower()
    assert wine.reg_value(DESKTOP, "ScreenSaveActive") == "1"
    assert wine.reg_value(VORN, "PreviousScreenSaver") == OTHER_SAVER
    assert wine.reg_value(UNINSTALL, "DisplayName")
    assert "uninstall.exe" in wine.reg_value(UNINSTALL, "UninstallString").lower()
    (installed.parent / "Vorn.ini").write_text("[Section]\r\nSpeed=7")  # the dialog's; it goes too
    uninstall(wine, installed)
    assert wine.reg_value(DESKTOP, "SCRNSAVE.EXE") == OTHER_SAVER

def test_a_reinstall_still_remembers_the_saver_before_the_first(wine, install):
    wine.set_reg(DESKTOP, "SCRNSAVE.EXE", OTHER_SAVER)
    install()
    installed = install()
    assert wine.reg_value(VORN, "PreviousScreenSaver") == OTHER_SAVER
    uninstall(wine, installed)
    assert wine.reg_value(DESKTOP, "SCRNSAVE.EXE") == OTHER_SAVER

def test_without_a_previous_saver_uninstalling_removes_the_value(wine, install):
    wine.set_reg(DESKTOP, "SCRNSAVE.EXE", None)
    installed = install()
    assert wine.reg_value(DESKTOP, "SCRNSAVE.EXE")
    uninstall(wine, installed)
    assert wine.reg_value(DESKTOP, "SCRNSAVE.EXE") is None
