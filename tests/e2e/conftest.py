"""One display and one Wine prefix for the whole run; a fresh copy of Vorn.scr for each test."""
import os
import shutil
from pathlib import Path

import pytest

import harness as h

RESTING_POINTER = (300, 300)

@pytest.fixture(scope="session")
def bench():
    shutil.rmtree(h.Proc.log_dir, ignore_errors=True)
    for stale in h.NATIVE.glob("e2e-prefix-*"):  # left by runs that died without their teardown
        if not Path("/proc", stale.name.rsplit("-", 1)[1]).exists():
            h.Wine.remove(stale)
    screen = h.Screen()
    try:
        kept = os.environ.get("VORN_E2E_PREFIX")
        wine = h.Wine(screen, kept or h.NATIVE / f"e2e-prefix-{os.getpid()}", keep=bool(kept))
        yield screen, wine
        wine.close()
    finally:
        screen.close()

@pytest.fixture
def screen(bench):
    return bench[0]

@pytest.fixture
def wine(bench):
    yield bench[1]
    for proc in bench[1].launched:
        proc.kill()
    bench[1].launched.clear()

@pytest.fixture
def vorn(screen, wine):
    """A folder with a copy of Vorn.scr, on a screen without Vorn's windows, the pointer at rest."""
    assert h.SCR.exists(), f"{h.SCR} is missing: build the win64 preset (or set VORN_E2E_SCR)"
    screen.gone(h.MAIN)
    screen.gone(h.DIALOG)
    screen.xdo("mousemove", *RESTING_POINTER)
    folder = h.Folder(h.SCR, h.NATIVE / "e2e-work")
    yield folder
    shutil.rmtree(folder.dir, ignore_errors=True)

@pytest.fixture
def win98(wine):
    """Vorn.scr sees the 95/98 family, with a password.cpl double in the system folder."""
    cpl = wine.prefix / "drive_c/windows/system32/password.cpl"
    shutil.copy(h.HELPERS / "password.cpl", cpl)
    wine.set_version("Vorn.scr", "win98")
    yield
    wine.set_version("Vorn.scr", None)
    cpl.unlink()
