"""Faults of what is shipped. The release archive packed by scripts/release.sh --no-build: a file
missing, extra or not the one built, a program not stripped (its debug information lost rather
than kept beside the build) or too large, a read-me with a placeholder or Unix line ends, checksums
that do not match. The per-user installer (/S) and uninstaller: Vorn.scr not installed or not made
the saver, its two Start-menu shortcuts missing, wrong or doubled, files, shortcuts or keys left
behind, the saver chosen before the first install not given back."""
import hashlib, os, re, subprocess, zipfile
from pathlib import Path

import pytest

import harness as h

BUILD = Path(os.environ.get("VORN_RELEASE_BUILD") or h.SOURCE / "build")
SETUP = f"Vorn-{h.VERSION}-setup.exe"
BUILT = {"Vorn.scr": ("win64/Vorn.scr", r"PE32\+ executable \(GUI\) x86-64"),  # build, format
         "32-bit/Vorn.scr": ("win32/Vorn.scr", r"^PE32 executable \(GUI\) Intel 80386"),
         SETUP: (f"win64/installer/{SETUP}", r"PE32\+ executable.*x86-64")}
MAX_PROGRAM_BYTES = 500_000

@pytest.fixture
def archive(tmp_path):
    run = subprocess.run([h.SOURCE / "scripts/release.sh", "--no-build", "--out", tmp_path],
                         capture_output=True, text=True)
    assert run.returncode == 0, run.stdout + run.stderr
    with zipfile.ZipFile(tmp_path / f"Vorn-{h.VERSION}-windows.zip") as packed:
        return {name: packed.read(name) for name in packed.namelist()}

def test_the_programs_as_built_the_read_me_and_matching_checksums_of_the_others(archive):
    assert sorted(archive) == sorted([*BUILT, "README.txt", "SHA256SUMS.txt"])
    for name, (built, format_) in BUILT.items():
        assert archive[name] == (BUILD / built).read_bytes(), f"{name} is not {BUILD / built}"
        kind = subprocess.run(["file", "-b", "-"], input=archive[name], capture_output=True).stdout
        assert re.search(format_, kind.decode()), f"{name}: {kind}"
        if name.endswith(".scr"):  # stripped, its debug information beside the build; small
            dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-hp", BUILD / built],
                                  capture_output=True, text=True).stdout
            assert "symbols stripped" in dump and ".debug_" not in dump, f"{name} is not stripped"
            assert (BUILD / built).with_suffix(".scr.debug").exists()
            assert len(archive[name]) < MAX_PROGRAM_BYTES, f"{name}: {len(archive[name])} bytes"
    sums = dict(line.split("  ")[::-1] for line in archive["SHA256SUMS.txt"].decode().splitlines())
    assert sorted(sums) == sorted([*BUILT, "README.txt"])
    assert all(hashlib.sha256(archive[name]).hexdigest() == digest for name, digest in sums.items())
    text = archive["README.txt"]  # names this version and the installer, Windows line ends
    assert f"Vorn {h.VERSION}".encode() in text and SETUP.encode() in text
    assert not re.search(rb"@[A-Z]*@", text), "a placeholder is left"
    assert text.count(b"\r\n") == text.count(b"\n") > 0

INSTALLER = Path(os.environ.get("VORN_E2E_INSTALLER") or h.SCR.parent / "installer" / SETUP)
DESKTOP, VORN = r"HKCU\Control Panel\Desktop", r"HKCU\Software\Vorn"
UNINSTALL = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorn"
OTHER_SAVER = r"C:\windows\system32\other saver.scr"

@pytest.mark.parametrize("previous, installs", [(OTHER_SAVER, 1), (OTHER_SAVER, 2), (None, 1)],
                         ids=["another-saver-before", "installed-twice", "no-saver-before"])
def test_it_installs_for_the_user_and_uninstalling_gives_back_the_saver_before(
        wine, previous, installs):
    assert INSTALLER.exists(), f"{INSTALLER} is missing: build the win64 preset (with makensis)"
    wine.set_reg(DESKTOP, "SCRNSAVE.EXE", previous)
    for _ in range(installs):
        assert wine.launch(INSTALLER, "/S").exit_code(60) == 0
    [installed] = (wine.prefix / "drive_c/users").glob("*/AppData/Local/Programs/Vorn/Vorn.scr")
    assert installed.read_bytes() == (INSTALLER.parent.parent / "Vorn.scr").read_bytes()
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
