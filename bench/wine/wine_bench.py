"""The Windows benchmarks' driver: runs Vorn.scr and the programs of bench/win32 under Wine on
private Xvfb screens of the sizes measured, reads what they report and what the kernel counts
for their processes, and prints the table that docs/performance.md records.

  /usr/bin/python3 bench/wine/wine_bench.py [--quick] [--rounds N]
                                            [--only throughput,paced,scaled,start,memory,dialog]

--quick shortens every span (a check that the bench works, not figures); --rounds sets how often
each comparison repeats (5); --only picks sections. VORN_E2E_SCR names the Vorn.scr under test,
VORN_BENCH_PROGRAMS the folder of the benchmark programs (<win64 build>/bench/win32). It uses
the end-to-end tests' harness (tests/e2e/harness.py); the Wine prefix is kept between runs.
"""
import argparse, os, select, shutil, statistics, sys, time
from pathlib import Path

from Xlib import XK
from Xlib.ext import xtest

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests/e2e"))
import harness as h  # noqa: E402 (found through the line above)

WORK = h.NATIVE / "bench-work"
RUNS = WORK / "runs"  # the programs' folders of this run, removed at its end
PROGRAMS = Path(os.environ.get("VORN_BENCH_PROGRAMS") or h.SCR.parent / "bench/win32")
SMALL_SCREEN, LARGE_SCREEN, UHD_SCREEN = (1024, 768), (1920, 1080), (3840, 2160)
# The paced saver's processor time at most this share of the clear-and-present floor's: it
# presents only what its flames changed, a smaller part of a larger screen.
MOST_OF_FLOOR = {LARGE_SCREEN: 0.7, UHD_SCREEN: 0.25}
# The saver at 200 % on a screen of four times the pixels at most this many times its cost at 100 %.
MOST_AT_200 = 2.0
BASE_DPI = 96
SMALL_SWARM, LARGE_SWARM, HUGE_SWARM = 200, 400, 100_000
DIALOG_NUM = 200  # what the dialog shows; it draws no swarm
SAVER, DIALOG, MINIMAL = h.MAIN, h.DIALOG, "Vorn minimal"
RUN_S, END_S = 120, 10
SETTLE_S = 1  # after a window shows, before it is measured
FRAME_PERIOD_MS, PREVIEW_CELL_MS = 1000 / 60, 100.0
MEGABYTE = 1024 * 1024
TICKS_PER_S = os.sysconf("SC_CLK_TCK")

class Session:
    """One Xvfb screen and a Wine session on it, the prefix kept for the next run; a scale of
    its own (LogPixels, read by a fresh wineserver) in a prefix of its own."""

    def __init__(self, size, options, dpi=BASE_DPI):
        self.options, self.screen = options, h.Screen(size)
        prefix = WORK / ("prefix" if dpi == BASE_DPI else f"prefix-{dpi}-dpi")
        self.wine = h.Wine(self.screen, prefix, keep=True)
        if dpi != BASE_DPI:
            assert self.wine.run("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                                 "/t", "REG_DWORD", "/d", str(dpi), "/f") == 0
            self.wine.close()
            self.wine = h.Wine(self.screen, prefix, keep=True)

    def __enter__(self):
        return self

    def __exit__(self, *error):
        self.wine.close()
        self.screen.close()

    def start(self, program, num, args, caption=None):
        """Starts the program in a fresh folder whose Vorn.ini sets Num; "{report}" in args
        becomes the Windows path of its report. Waits for its window when given a caption."""
        folder = h.Folder(program, RUNS)
        folder.write("Vorn.ini", f"[Section]\r\nNum={num}\r\n")
        report = folder.dir / "report.txt"
        started_unix_us = time.time_ns() // 1000
        args = [h.winpath(report) if arg == "{report}" else arg for arg in args]
        proc = self.wine.launch(folder.program, *args)
        if caption:
            self.screen.find(caption)
        return proc, report, started_unix_us

    def run_to_report(self, program, num, args):
        proc, report, _ = self.start(program, num, args)
        proc.exit_code(RUN_S)
        values = read_report(report)
        assert values, f"{proc.name} wrote no report; {proc.tail()}"
        return values

    def end_by_key(self, proc):
        """Presses a key (XTest, at once) and returns the milliseconds until the process ended."""
        pidfd = os.pidfd_open(proc.pid)  # waits for the end without reaping it
        keycode = self.screen.x.keysym_to_keycode(XK.string_to_keysym("space"))
        pressed = time.monotonic()
        for event in (h.X.KeyPress, h.X.KeyRelease):
            xtest.fake_input(self.screen.x, event, keycode)
        self.screen.x.sync()
        ended = select.select([pidfd], [], [], END_S)[0]
        ms = (time.monotonic() - pressed) * 1000
        os.close(pidfd)
        assert ended, f"{proc.name} did not end on a key press"
        proc.exit_code(END_S)
        return ms

    def cpu_share(self, pid, seconds):
        """Processor time of the process, and of the X server and wineserver, over `seconds`,
        each as a share of one core."""
        helpers = (self.screen.server.pid, self.wine.server.pid)
        before = cpu_seconds(pid), sum(map(cpu_seconds, helpers))
        started = time.monotonic()
        time.sleep(seconds)
        elapsed = time.monotonic() - started
        return ((cpu_seconds(pid) or before[0]) - before[0]) / elapsed, \
            (sum(map(cpu_seconds, helpers)) - before[1]) / elapsed

def cpu_seconds(pid):
    """User plus system time; 0 once the process is gone."""
    try:
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    except FileNotFoundError:
        return 0
    return (int(fields[11]) + int(fields[12])) / TICKS_PER_S  # utime, stime: fields 14 and 15

def peak_resident_bytes(pid):
    status = Path(f"/proc/{pid}/status").read_text()
    return int(status.split("VmHWM:")[1].split()[0]) * 1024

def read_report(path):
    """The "key value" lines a benchmark program wrote."""
    pairs = [line.split() for line in path.read_text().splitlines()] if path.exists() else []
    return {pair[0]: float(pair[1]) for pair in pairs if len(pair) == 2}

def median(values):
    return statistics.median(values) if values else 0

def verdict(met):
    return "met" if met else "missed"

def name(session, num=None):
    text = "%dx%d" % session.screen.size
    return text if num is None else f"{text}, Num {num}"

def warm_up(session):
    """Starts and ends one program, so that the first measured one does not pay for the Wine
    session's own start (its desktop process)."""
    proc, _, _ = session.start(PROGRAMS / "minimal_window.exe", 0, ["{report}"], MINIMAL)
    time.sleep(SETTLE_S)
    session.end_by_key(proc)

def measure_throughput(session, num, table):
    """The three contenders run round after round in a rotating order, so that a slow spell of
    the machine falls on each of them alike."""
    quick = session.options.quick
    warm, span = ("0.5", "2") if quick else ("1", "4")
    frame_bench, reference = PROGRAMS / "frame_bench.exe", PROGRAMS / "gdi_reference.exe"
    contenders = [(frame_bench, ["unpaced", warm, span, "{report}"]),
                  (reference, ["reference", str(num), warm, span, "{report}"]),
                  (reference, ["floor", str(num), warm, span, "{report}"])]
    fps, share, ratios = [[], [], []], [[], [], []], []
    for round_ in range(session.options.rounds):
        for i in range(len(contenders)):
            which = (i + round_) % len(contenders)
            program, args = contenders[which]
            values = session.run_to_report(program, num, args)
            fps[which].append(values["fps"])
            share[which].append(values["particle_share"])
        ratios.append(fps[0][-1] / fps[1][-1])
    section = f"throughput, {name(session, num)}"
    table.append((section, f"Vorn frame cycle, unpaced (fps, median of {len(ratios)})",
                  f"{median(fps[0]):.0f}", f"GDI reference loop {median(fps[1]):.0f}, clear + "
                  f"present floor {median(fps[2]):.0f}", "≥ reference",
                  verdict(median(ratios) >= 1)))
    table.append((section, "Vorn / reference (median of the rounds' ratios)",
                  f"{median(ratios):.2f}", "", "≥ 1", ""))
    table.append((section, "share of Vorn's frame spent stepping and drawing particles",
                  f"{100 * median(share[0]):.0f} %", f"reference {100 * median(share[1]):.0f} %",
                  "", ""))

def measure_paced_saver(session, num, table):
    seconds = 5 if session.options.quick else 20
    section = f"paced saver, {name(session, num)}"
    saver, _, _ = session.start(h.SCR, num, ["/s"], SAVER)
    time.sleep(SETTLE_S)
    process, helpers = session.cpu_share(saver.pid, seconds)
    # The system's notification that the display went off, as the end-to-end tests send it.
    session.wine.helper("e2e_helper.exe", "display", "off").exit_code(END_S)
    time.sleep(SETTLE_S)
    asleep, asleep_helpers = session.cpu_share(saver.pid, seconds)
    session.end_by_key(saver)
    table.append((section, f"Vorn.scr /s with the display off, processor time over {seconds} s",
                  f"{100 * asleep:.2f} % of a core",
                  f"X server + wineserver {100 * asleep_helpers:.2f} %", "< 0.5 %",
                  verdict(asleep < 0.005)))
    floor = session.run_to_report(PROGRAMS / "gdi_reference.exe", 0,
                                  ["floor", "0", "1", str(seconds), "{report}", "60"])
    table.append((section, f"Vorn.scr /s processor time over {seconds} s",
                  f"{100 * process:.1f} % of a core", f"clear + present floor at 60 fps "
                  f"{floor['cpu_percent']:.1f} %; X server + wineserver {100 * helpers:.1f} %",
                  "< 15 %", verdict(process < 0.15)))
    share = 100 * process / floor["cpu_percent"]
    most = MOST_OF_FLOOR.get(session.screen.size, 1)
    table.append((section, "Vorn.scr /s / the floor, processor time", f"{share:.2f}", "",
                  f"≤ {most}", verdict(share <= most)))
    paced = session.run_to_report(PROGRAMS / "frame_bench.exe", num,
                                  ["paced", "1", str(seconds), "{report}"])
    mean, p99 = paced["interval_mean_ms"], paced["interval_p99_ms"]
    table.append((section, "frame interval, mean (ms)", f"{mean:.2f}", "1/60 s = 16.67 ms",
                  "within 5 %", verdict(abs(mean / FRAME_PERIOD_MS - 1) <= 0.05)))
    table.append((section, "frame interval, 99th percentile (ms)", f"{p99:.2f}",
                  f"max {paced['interval_max_ms']:.1f} ms", "< 25 ms", verdict(p99 < 25)))
    table.append((section, "processor time, the benchmark build's own accounting",
                  f"{paced['cpu_percent']:.1f} % of a core", "", "< 15 %",
                  verdict(paced["cpu_percent"] < 15)))

def measure_scaled_saver(options, table):
    """The same logical screen and swarm at 100 % and at 200 %: four times the pixels to clear,
    draw and present, each flame four times the size. A single span of each moves by a tenth
    from run to run, so the two alternate `--rounds` times and the medians are compared."""
    seconds, shares, floors = 5 if options.quick else 20, {}, {}
    for _ in range(options.rounds):
        for size, dpi in ((LARGE_SCREEN, BASE_DPI), (UHD_SCREEN, 2 * BASE_DPI)):
            with Session(size, options, dpi) as session:
                warm_up(session)
                saver, _, _ = session.start(h.SCR, LARGE_SWARM, ["/s"], SAVER)
                time.sleep(SETTLE_S)
                shares.setdefault(dpi, []).append(session.cpu_share(saver.pid, seconds)[0])
                session.end_by_key(saver)
                floors.setdefault(dpi, []).append(session.run_to_report(
                    PROGRAMS / "gdi_reference.exe", 0,
                    ["floor", "0", "1", str(seconds), "{report}", "60"])["cpu_percent"])
    low, high = median(shares[BASE_DPI]), median(shares[2 * BASE_DPI])
    table.append((f"scaled saver, Num {LARGE_SWARM}", f"Vorn.scr /s at 3840x2160, 200 %, "
                  f"processor time over {seconds} s (median of {options.rounds})",
                  f"{100 * high:.1f} % of a core",
                  f"1920x1080 at 100 % {100 * low:.1f} %; clear + present floor at 60 fps "
                  f"{median(floors[2 * BASE_DPI]):.1f} % and {median(floors[BASE_DPI]):.1f} %",
                  f"within {MOST_AT_200} times ({high / low:.2f})",
                  verdict(high <= MOST_AT_200 * low)))

def start_to_first_frame(report, started_unix_us, proc):
    first = read_report(report).get("first_present_unix_us", 0)
    assert first > 0, f"{proc.name} reported no first frame"
    return (first - started_unix_us) / 1000

def measure_start_and_end(session, num, table):
    minimal_start, saver_start, minimal_end, saver_end = [], [], [], []
    for _ in range(session.options.rounds):
        minimal = session.start(PROGRAMS / "minimal_window.exe", num, ["{report}"], MINIMAL)
        time.sleep(SETTLE_S)
        minimal_end.append(session.end_by_key(minimal[0]))
        minimal_start.append(start_to_first_frame(minimal[1], minimal[2], minimal[0]))
        measured = session.start(PROGRAMS / "frame_bench.exe", num,
                                 ["paced", "0", "0.3", "{report}"])
        measured[0].exit_code(RUN_S)
        saver_start.append(start_to_first_frame(measured[1], measured[2], measured[0]))
        saver, _, _ = session.start(h.SCR, num, ["/s"], SAVER)
        time.sleep(SETTLE_S)
        saver_end.append(session.end_by_key(saver))
    section = f"start and end, {name(session, num)}"
    start_added = median(saver_start) - median(minimal_start)
    end_added = median(saver_end) - median(minimal_end)
    table.append((section, "process start to first presented frame (ms)",
                  f"{median(saver_start):.0f}", f"minimal window {median(minimal_start):.0f}", "",
                  ""))
    table.append((section, "added by the saver (ms)", f"{start_added:.0f}", "", "< 50 ms",
                  verdict(start_added < 50)))
    table.append((section, "key press to process exit (ms)", f"{median(saver_end):.0f}",
                  f"minimal window {median(minimal_end):.0f}", "", ""))
    table.append((section, "added by the saver (ms)", f"{end_added:.0f}", "", "< 50 ms",
                  verdict(end_added < 50)))

def peak_of(session, program, num, args, caption):
    """The peak resident set of a program a few seconds after its window shows, MB."""
    proc, _, _ = session.start(program, num, args, caption)
    time.sleep(1 if session.options.quick else 3)
    peak = peak_resident_bytes(proc.pid)
    session.end_by_key(proc)
    return peak / MEGABYTE

def measure_memory(session, table):
    baseline = median([peak_of(session, PROGRAMS / "minimal_window.exe", 0, ["{report}"], MINIMAL)
                       for _ in range(min(session.options.rounds, 3))])
    for num, limit in ((LARGE_SWARM, 16), (HUGE_SWARM, 20)):
        peak = peak_of(session, h.SCR, num, ["/s"], SAVER)
        table.append((f"memory, {name(session)}", f"Vorn.scr /s, Num {num}: peak working set above "
                      "the minimal window (MB)", f"{peak - baseline:.1f}", f"minimal window "
                      f"{baseline:.1f} MB, Vorn {peak:.1f} MB", f"< {limit} MB",
                      verdict(peak - baseline < limit)))

def measure_dialog(session, table):
    seconds = 3 if session.options.quick else 10
    dialog, _, _ = session.start(h.SCR, DIALOG_NUM, ["/c"], DIALOG)
    time.sleep(SETTLE_S)
    process, helpers = session.cpu_share(dialog.pid, seconds)
    dialog.popen.terminate()
    if dialog.wait(END_S) is None:
        dialog.kill()
    section = "settings dialog (Vorn.scr /c)"
    table.append((section, f"processor time while open, {seconds} s",
                  f"{100 * process:.1f} % of a core",
                  f"X server + wineserver {100 * helpers:.1f} %", "< 3 %", verdict(process < 0.03)))
    preview = session.run_to_report(PROGRAMS / "frame_bench.exe", DIALOG_NUM,
                                    ["dialog", "1", str(seconds), "{report}"])
    mean = preview["interval_mean_ms"]
    table.append((section, "preview cell interval, mean (ms)", f"{mean:.1f}",
                  f"p99 {preview['interval_p99_ms']:.1f} ms", "100 ms ± 10 %",
                  verdict(abs(mean / PREVIEW_CELL_MS - 1) <= 0.10)))

def measure(options, table):
    """The small screen for the throughput only; the large one for everything; the largest for
    the throughput and the paced saver."""
    wanted = options.only.split(",")
    if "throughput" in wanted:
        with Session(SMALL_SCREEN, options) as small:
            warm_up(small)
            measure_throughput(small, SMALL_SWARM, table)
    if "scaled" in wanted:
        measure_scaled_saver(options, table)
    sections = {"throughput": lambda s, t: measure_throughput(s, LARGE_SWARM, t),
                "paced": lambda s, t: measure_paced_saver(s, LARGE_SWARM, t),
                "start": lambda s, t: measure_start_and_end(s, LARGE_SWARM, t),
                "memory": measure_memory, "dialog": measure_dialog}
    for size, chosen in ((LARGE_SCREEN, list(sections)), (UHD_SCREEN, ["throughput", "paced"])):
        if not set(chosen) & set(wanted):
            continue
        with Session(size, options) as session:
            warm_up(session)
            for section in chosen:
                if section in wanted:
                    sections[section](session, table)

def machine():
    model = next((line.split(":", 1)[1] for line in Path("/proc/cpuinfo").read_text().splitlines()
                  if line.startswith("model name")), " ?")
    load = Path("/proc/loadavg").read_text().split()
    return f"{os.cpu_count()} cores,{model}, load average {load[0]} / {load[1]}"

def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--only", default="throughput,paced,scaled,start,memory,dialog")
    options = parser.parse_args()
    options.rounds = 1 if options.quick else max(1, options.rounds)
    h.Proc.log_dir = WORK / "logs"
    before, table = machine(), []
    try:
        measure(options, table)
    finally:
        shutil.rmtree(RUNS, ignore_errors=True)
    rows = [("section", "measured", "value", "against (same run)", "target", ""),
            ("---",) * 6, *table]
    text = f"machine: {before} at the start; {machine()} at the end\n\n" + \
        "".join("| " + " | ".join(row) + " |\n" for row in rows)
    print(text, end="")
    (WORK / "results.md").write_text(text)

if __name__ == "__main__":
    main()
