"""Faults of the built program files and what they load: lost resources, a runtime DLL, function or
subsystem version its oldest Windows lacks, a copy planted beside the program under the name of a
library it imports or loads (the 95/98 password services, the timer library)."""
import re, subprocess

import pytest

import harness as h

# What each build may import, by library: what its oldest Windows has (2000 for 32 bits, NT 4 lacks
# SetDCBrushColor; XP x64 for 64); newer functions are looked up at run time. Only KnownDLLs, taken
# from the system folder (libstdc++ would keep the saver from starting, a copy beside it stand in).
COMMON = {
    "gdi32.dll": "BitBlt CreateCompatibleDC CreateDIBSection CreateFontIndirectW CreateFontW "
    "DeleteDC DeleteObject EnumFontFamiliesExW GdiFlush GetDeviceCaps GetGlyphIndicesW GetObjectW "
    "GetStockObject LineTo MoveToEx SelectObject SetBkMode SetBrushOrgEx SetDCBrushColor "
    "SetDCPenColor SetStretchBltMode SetTextColor StretchBlt",
    "kernel32.dll": "CloseHandle CreateDirectoryW CreateSemaphoreW DeleteCriticalSection "
    "EnterCriticalSection ExitProcess FileTimeToLocalFileTime FindResourceW FreeLibrary "
    "GetCommandLineW GetCurrentThreadId GetFileAttributesW GetLastError GetModuleFileNameW "
    "GetModuleHandleW GetPrivateProfileStringW GetProcAddress GetStartupInfoW GetSystemDirectoryW "
    "GetSystemTimeAsFileTime GetVersionExA InitializeCriticalSection IsDBCSLeadByteEx "
    "LeaveCriticalSection LoadLibraryExW LoadLibraryW LoadResource LockResource MulDiv "
    "MultiByteToWideChar QueryPerformanceCounter QueryPerformanceFrequency ReleaseSemaphore "
    "SetLastError SetUnhandledExceptionFilter SizeofResource Sleep TlsAlloc TlsFree TlsGetValue "
    "TlsSetValue VerifyVersionInfoW VerSetConditionMask VirtualProtect VirtualQuery "
    "WaitForSingleObject WideCharToMultiByte WritePrivateProfileStringW",
    "msvcrt.dll": "__set_app_type __setusermatherr __wgetmainargs __winitenv _amsg_exit _cexit "
    "_close _errno _initterm _onexit _read abort calloc exit fprintf fputc fputs free fwrite "
    "localeconv malloc memchr memcmp memcpy memmove memset realloc signal strcmp strerror strlen "
    "strncmp vfprintf wcslen",
    "shell32.dll": "ShellExecuteW SHGetFolderPathW",
    "user32.dll": "BeginPaint CallWindowProcW CreateWindowExW DefWindowProcW DestroyWindow "
    "DispatchMessageW DrawAnimatedRects DrawTextW EndPaint EnumDisplayMonitors FillRect "
    "FindWindowW FrameRect GetAncestor GetClientRect GetCursorPos GetDC GetFocus GetKeyState "
    "GetMessageW GetScrollInfo GetSysColor GetSystemMetrics GetWindowLongA GetWindowRect "
    "InvalidateRect IsWindow KillTimer LoadCursorW LoadIconW MapWindowPoints MessageBoxW "
    "MoveWindow MsgWaitForMultipleObjects MsgWaitForMultipleObjectsEx PeekMessageW PostMessageW "
    "PostQuitMessage RegisterClassExW ReleaseCapture ReleaseDC ScreenToClient SendMessageW "
    "SetCapture SetCursor SetFocus SetForegroundWindow SetParent SetScrollInfo SetScrollPos "
    "SetTimer SetWindowLongA SetWindowPos ShowCursor ShowWindow SystemParametersInfoA "
    "SystemParametersInfoW TranslateMessage"}
XP_X64 = {
    "kernel32.dll": "RaiseException RtlCaptureContext RtlLookupFunctionEntry RtlUnwindEx "
    "RtlVirtualUnwind __C_specific_handler", "user32.dll": "GetWindowLongPtrW SetWindowLongPtrW",
    "msvcrt.dll": "___lc_codepage_func ___mb_cur_max_func __iob_func _commode _fmode _wcmdln"}
WINDOWS_2000 = {
    "kernel32.dll": "GetModuleHandleA LoadLibraryA", "user32.dll": "GetWindowLongW SetWindowLongW",
    "msvcrt.dll": "__mb_cur_max __p__commode __p__fmode __p__wcmdln _iob atoi setlocale strchr"}
# (type, name): 6 string block, 14 icon group, 16 version, 24 manifest, 10 data (the sprite sheet).
RESOURCES = {(6, 1), (14, 1), (16, 1), (24, 1), (10, 101)}

def output(*argv, text=True):
    return subprocess.run(argv, capture_output=True, text=text, check=True).stdout
@pytest.mark.parametrize("scr, oldest, only", [(h.SCR, (5, 2), XP_X64),
                                               (h.SCR32, (5, 0), WINDOWS_2000)], ids=["64", "32"])
def test_the_program_file(scr, oldest, only):  # oldest: its version number; format: test_release
    assert scr.exists(), f"{scr} is missing: build the win64 and win32 presets"
    dumped = output("x86_64-w64-mingw32-objdump", "-p", scr)
    subsystem = tuple(map(int, re.findall(r"(?:Maj|Min)orSubsystemVersion\t(\d+)", dumped)))
    assert () < subsystem <= oldest, f"its loader refuses a subsystem {subsystem}"
    allowed = {dll: set(f"{names} {only.get(dll, '')}".split()) for dll, names in COMMON.items()}
    imports = dict(re.findall(r"DLL Name: (\S+)\n.*\n((?:\t.*\n)*)", dumped))
    newer = {dll: set(re.findall(r" (\w+)\n", names)) - allowed.get(dll.lower(), set())
             for dll, names in imports.items()}
    assert imports and not any(newer.values()), f"its oldest Windows lacks {newer}: look them up"
    listed = re.findall(r"--type=(\d+) --name=(\d+)", output("wrestool", "-l", scr))
    assert RESOURCES <= {(int(t), int(n)) for t, n in listed}, listed
    block = output("wrestool", "-x", "--raw", "--type=6", "--name=1", scr, text=False)
    assert block.startswith(b"\0\0\4\0" + "Vorn".encode("utf-16-le")), "string 1 (after 0, empty)"

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
    """With them, the saver asks the system's password service (win32/password_double.cpp) on
    input: refused, it runs on; accepted, it ends."""
    for decoy in DECOYS:
        vorn.write(decoy, (h.HELPERS / "password.cpl").read_bytes())
    vorn.write("password_answer.txt", "0\n")
    proc = wine.launch(vorn.program, *args, env=LOGGED)
    if args == ["/s"]:
        screen.saver(proc)
        screen.xdo("click", 1)
        h.poll(lambda: vorn.read("password_calls.txt"), 3, "the password to be asked for")
        assert proc.wait(1.5) is None, "the saver ended on a refused password"
        vorn.write("password_answer.txt", "1\n")
        screen.xdo("key", "space")
    assert proc.exit_code(5) == 0
    calls = b"VerifyScreenSavePwd window\n" * 2 if args == ["/s"] else None
    assert vorn.read("password_calls.txt") == calls
    assert all(library in loaded(proc) for library in libraries), proc.tail()
