"""One display and one Wine prefix for the whole run; a fresh copy of Vorn.scr for each test."""
import os, shutil
from pathlib import Path

import pytest

import harness as h

@pytest.fixture(scope="session")
def bench():
    shutil.rmtree(h.Proc.log_dir, ignore_errors=True)
    for stale in [*h.NATIVE.glob("e2e-prefix-*"), *h.NATIVE.glob("e2e-work-*")]:  # of dead runs
        if not Path("/proc", stale.name.rsplit("-", 1)[1]).exists():
            h.Wine.remove(stale)
    screen, kept = h.Screen(), os.environ.get("VORN_E2E_PREFIX")
    try:
        wine = h.Wine(screen, kept or h.NATIVE / f"e2e-prefix-{os.getpid()}", keep=bool(kept))
        yield screen, wine
        wine.close()
    finally:
        screen.close()
        shutil.rmtree(h.WORK, ignore_errors=True)

@pytest.fixture
def screen(bench):
    return bench[0]

@pytest.fixture
def wine(bench):
    yield bench[1]
    while bench[1].launched:
        bench[1].launched.pop().kill()

@pytest.fixture
def vorn(screen, wine):  # a copy of Vorn.scr, on a screen without its windows, the pointer still
    assert h.SCR.exists(), f"{h.SCR} is missing: build the win64 preset (or set VORN_E2E_SCR)"
    screen.gone(f"({h.MAIN}|{h.DIALOG})")
    screen.xdo("mousemove", 300, 300)
    return h.Folder(h.SCR)

@pytest.fixture
def win98(wine):  # Vorn.scr sees the 95/98 family, with a password.cpl double in the system
    cpl = wine.prefix / "drive_c/windows/system32/password.cpl"
    key = r"HKCU\Software\Wine\AppDefaults\Vorn.scr"
    shutil.copy(h.HELPERS / "password.cpl", cpl)
    wine.set_reg(key, "Version", "win98")  # what GetVersionEx reports to the program
    yield
    wine.set_reg(key, "Version", None)
    cpl.unlink()
