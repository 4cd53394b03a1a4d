"""Faults of the settings file on the real platform (win32/e2e_helper.cpp runs the program's
own LoadSettings and WriteSettings): values misread, lost, or written over other keys."""
import pytest

import harness as h

@pytest.fixture
def folder():
    return h.Folder(h.HELPERS / "e2e_helper.exe")

def probe(wine, folder, *args):  # e2e_helper settings ...: what it printed, on one line
    run = wine.launch(folder.program, "settings", *args)
    assert run.exit_code(20) == 0, run.tail()
    return " ".join(run.output().split())

@pytest.mark.parametrize("ini, loaded", [
    (None, "Speed=5 Num=200 Intval=30"),
    ("[Section]\r\nSpeed= 7\r\nNum=1000\r\nIntval=2.5\r\n", "Speed=7 Num=1000 Intval=2"),
    ("[section]\r\nspeed = 3.5 \r\nNUM=\"150\"\r\n", "Speed=4 Num=150 Intval=30"),
    ("[Section]\r\nSpeed=abc\r\nNum=2147483648\r\nIntval=\r\n", "Speed=0 Num=0 Intval=30"),
], ids=["no-file-defaults", "hand-written", "any-case-blanks-quotes", "non-numbers-zero-rest-read"])
def test_values_are_read_as_numbers(wine, folder, ini, loaded):
    if ini is not None:
        folder.write("Vorn.ini", ini)
    assert probe(wine, folder, "read") == loaded

def test_written_values_read_back_and_other_keys_stay(wine, folder):
    folder.write("Vorn.ini", "[Other]\r\nKeep=yes\r\n[Section]\r\nMine=1\r\n")
    probe(wine, folder, "write", 6, 200, -3)
    assert probe(wine, folder, "read") == "Speed=6 Num=200 Intval=-3"
    assert b"Keep=yes" in folder.read("Vorn.ini") and b"Mine=1" in folder.read("Vorn.ini")
