"""Faults of the release archive packed by scripts/release.sh --no-build: a file missing, extra or
not the one built, a program not stripped (its debug information lost rather than kept beside the
build) or too large, a read-me with a placeholder or Unix line ends, checksums that do not match."""
import hashlib, os, re, subprocess, zipfile
from pathlib import Path

import pytest

import harness as h

BUILD = Path(os.environ.get("VORN_RELEASE_BUILD") or h.SOURCE / "build")
SETUP = f"Vorn-{h.VERSION}-setup.exe"
BUILT = {"Vorn.scr": ("win64/Vorn.scr", r"PE32\+ executable \(GUI\) x86-64"),  # build, format
         "32-bit/Vorn.scr": ("win32/Vorn.scr", r"^PE32 executable \(GUI\) Intel 80386"),
         SETUP: (f"win64/installer/{SETUP}", r"PE32\+ executable.*x86-64")}
MAX_PROGRAM_BYTES = 525_000  # stripped; their debug information alone is ten times as large

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
