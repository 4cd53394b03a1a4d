"""Faults of the built program files and what they load: the wrong format or subsystem, lost
resources, a runtime DLL that a user's Windows lacks, a copy planted beside the program under
the name of a library it imports or loads (the 95/98 password services, the timer library)."""
import re, subprocess

import pytest

import harness as h

# DLLs every Windows has (libstdc++, libgcc or winpthread would keep the saver from starting).
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "winmm.dll", "msvcrt.dll", "shell32.dll",
               "advapi32.dll", "comctl32.dll", "ole32.dll", "api-ms-win-crt-runtime-l1-1-0.dll"}
# The system's KnownDLLs: always taken from its own folder, whatever the search order says.
KNOWN_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "shell32.dll",
              "advapi32.dll", "ole32.dll", "comdlg32.dll", "shlwapi.dll"}
# (type, name): 6 string block, 14 icon group, 16 version, 24 manifest, 2 bitmap (the sprite sheet).
RESOURCES = {(6, 1), (14, 1), (16, 1), (24, 1), (2, 101)}

def output(*argv, text=True):
    return subprocess.run(argv, capture_output=True, text=text, check=True).stdout
@pytest.mark.parametrize("scr, format_", [
    (h.SCR, "PE32+ executable (GUI) x86-64, for MS Windows"),
    (h.SCR32, "PE32 executable (GUI) Intel 80386, for MS Windows"),
], ids=["64-bit", "32-bit"])
def test_the_program_file(scr, format_):
    assert scr.exists(), f"{scr} is missing: build the win64 and win32 presets"
    assert output("file", "-b", scr).startswith(format_)
    dumped = output("x86_64-w64-mingw32-objdump", "-p", scr)
    imports = {dll.lower() for dll in re.findall(r"DLL Name: (\S+)", dumped)}
    assert imports and imports <= SYSTEM_DLLS, f"not every Windows has {imports - SYSTEM_DLLS}"
    assert imports <= KNOWN_DLLS, f"a copy beside it could stand in for {imports - KNOWN_DLLS}"
    listed = re.findall(r"--type=(\d+) --name=(\d+)", output("wrestool", "-l", scr))
    assert RESOURCES <= {(int(t), int(n)) for t, n in listed}, listed
    block = output("wrestool", "-x", "--raw", "--type=6", "--name=1", scr, text=False)
    first = 2 + 2 * int.from_bytes(block[:2], "little")  # block 1 holds strings 0 to 15: skip 0
    length = int.from_bytes(block[first:first + 2], "little")
    assert block[first + 2:first + 2 + 2 * length].decode("utf-16-le") == "Vorn"

DECOYS = ["password.cpl", "mpr.dll", "winmm.dll", "version.dll"]
# Wine serves its built-in libraries even where a search finds a file of the name; for those the
# program asks for, a file the search finds is loaded as it is, as on Windows. The bench's stay.
LOGGED = {"WINEDEBUG": "+loaddll",
          "WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree,mshtml=;winmm,mpr=n,b"}

def loaded(proc):  # the libraries loaded from the system folder, after checking for decoys
    # A line ending in "builtin" names a file whose code Wine did not run: its own copy served.
    lines = [s for s in proc.output().lower().split("\n") if re.search("loaddll.*loaded", s)]
    assert lines, f"no +loaddll lines from {proc.name}"
    decoys = [s for s in lines if any(d in s for d in DECOYS) and not s.endswith(": builtin")]
    assert all("system32" in line for line in decoys), decoys
    return " ".join(line for line in lines if "system32" in line)

@pytest.mark.parametrize("args, libraries", [(["/s"], ["password.cpl", "winmm.dll"]),
                                             (["/a", "1234"], ["mpr.dll"])],
                         ids=["the-saver-password-service-and-timer", "the-password-change"])
def test_decoys_beside_it_are_not_loaded(screen, wine, vorn, win98, args, libraries):
    for decoy in DECOYS:
        vorn.write(decoy, (h.HELPERS / "password.cpl").read_bytes())
    proc = wine.launch(vorn.program, *args, env=LOGGED)
    if args == ["/s"]:  # a click makes the saver ask the password service, which answers yes
        window = screen.find(h.MAIN)
        h.poll(lambda: screen.pointer()[3] == window.id, 5, "the keyboard focus on the saver")
        screen.xdo("click", 1)
        assert proc.wait(5) == 0, "the saver still runs after an accepted password"
        assert vorn.read("password_calls.txt") == b"VerifyScreenSavePwd window\n"
    assert proc.exit_code(5) == 0
    assert all(library in loaded(proc) for library in libraries), proc.tail()
