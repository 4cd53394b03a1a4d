"""Faults of library loading: a copy planted beside the program under the name of a library it
loads (the 95/98 password services, the timer library) is loaded instead of the system's.
(Its imports are checked in test_program_file.py.)"""
import re

import pytest

import harness as h

DECOYS = ["password.cpl", "mpr.dll", "winmm.dll", "version.dll"]
# Wine serves its built-in libraries even where a search finds a file of the name; for those the
# program asks for, a file the search finds is loaded as it is, as on Windows. The bench's stay.
OVERRIDES = "winemenubuilder.exe=d;mscoree,mshtml=;winmm,mpr=n,b"

@pytest.fixture
def logged(screen, wine, vorn, win98):
    """Starts Vorn.scr beside decoys, with Wine's +loaddll log."""
    for decoy in DECOYS:
        vorn.write(decoy, (h.HELPERS / "password.cpl").read_bytes())
    env = {"WINEDEBUG": "+loaddll", "WINEDLLOVERRIDES": OVERRIDES}
    return lambda *args: wine.launch(vorn.program, *args, env=env)

def loaded(proc):
    """The libraries loaded, lower case; a line that ends in "builtin" names a file whose code
    Wine did not run (its own copy serves)."""
    lines = [line for line in proc.output().lower().split("\n") if re.search("loaddll.*loaded", line)]
    assert lines, f"no +loaddll lines from {proc.name}"
    decoys = [s for s in lines if any(d in s for d in DECOYS) and not s.endswith(": builtin")]
    assert all("system32" in line for line in decoys), decoys
    return [line for line in lines if "system32" in line]

def test_the_saver_takes_the_password_service_from_the_system_folder(screen, vorn, logged):
    saver = logged("/s")
    window = screen.find(h.MAIN)
    h.poll(lambda: screen.keys_go_to(window.id), 5, "the keyboard focus on the saver")
    screen.xdo("click", 1)  # the password double answers yes
    assert saver.wait(5) == 0, "the saver still runs after an accepted password"
    assert vorn.read("password_calls.txt") == b"VerifyScreenSavePwd window\n"
    from_system = " ".join(loaded(saver))
    assert "password.cpl" in from_system and "winmm.dll" in from_system

def test_the_password_change_takes_its_library_from_the_system_folder(logged):
    change = logged("/a", "1234")
    assert change.exit_code(5) == 0
    assert "mpr.dll" in " ".join(loaded(change))
