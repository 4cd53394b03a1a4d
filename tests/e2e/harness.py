"""The bench: Vorn.scr under Wine on a private Xvfb display, xdotool for windows and input,
python3-xlib for screenshots (numpy RGB, rows first) and mapped windows; every wait a deadline."""
import ctypes, os, re, select, shutil, signal, socket, struct, subprocess, tempfile, time
from collections import namedtuple
from pathlib import Path

import numpy as np
from PIL import Image
from Xlib import X, display as xdisplay
from Xlib.protocol import event as xevent

SOURCE = Path(__file__).resolve().parents[2]
SCR = Path(os.environ.get("VORN_E2E_SCR") or SOURCE / "build/win64/Vorn.scr")
SCR32 = Path(os.environ.get("VORN_E2E_SCR32") or SOURCE / "build/win32/Vorn.scr")
HELPERS = Path(os.environ.get("VORN_E2E_HELPERS") or SOURCE / "build/win64/tests/e2e/win32")
NATIVE = Path(os.environ.get("VORN_E2E_NATIVE") or SOURCE / "build/native")
ARTIFACTS = Path(os.environ.get("VORN_E2E_ARTIFACTS") or NATIVE / "e2e-artifacts")
WORK = NATIVE / f"e2e-work-{os.getpid()}"  # the programs' folders of this run
VERSION = os.environ.get("VORN_VERSION") or re.search(
    r"project\(Vorn VERSION ([\d.]+)", (SOURCE / "CMakeLists.txt").read_text())[1]
MAIN, DIALOG = "Vorn_Main", "Vornの設定"
POLL_S = 0.02
FIRST_WINDOW_S = 30  # the first window of a fresh prefix also starts Wine's desktop process
QUICK_EXIT_S = 5  # "at once", with room for Wine's start-up
PR_SET_PDEATHSIG = 1
FONTS_KEY = r"HKCU\Software\Wine\Fonts\Replacements"  # none: the fonts a user has

# python-xlib keeps the extensions' events of all displays in one table, and two X servers may
# number an extension's events differently (Xvfb's and Xvnc's): each display gets its own.
def _display_with_own_events(self, *args, base=xdisplay._BaseDisplay.__init__):
    self.event_classes = xevent.event_class.copy()
    base(self, *args)
xdisplay._BaseDisplay.__init__ = _display_with_own_events

def poll(ready, timeout, what=None):
    """ready()'s first true value (never an array: wrap it in a list), polled for timeout s; then
    None, or with `what` (a text, or a function giving one) a failure naming what it waited for."""
    end = time.monotonic() + timeout
    while not (value := ready()) and time.monotonic() < end:
        time.sleep(POLL_S)
    if not value and what:
        raise AssertionError(f"waited {timeout} s for {what() if callable(what) else what}")
    return value or None

def winpath(path):  # Wine reaches the Unix file system as drive Z:
    return "Z:" + str(Path(path).absolute()).replace("/", "\\")

def save_png(image, name):
    path = ARTIFACTS / (re.sub(r"[^\w-]+", "_", name) + ".png")
    Image.fromarray(np.ascontiguousarray(image)).save(path)
    return path

class Proc:
    """A child process with its output in a log file; it dies with the test run."""
    log_dir, count = ARTIFACTS / "logs", 0

    def __init__(self, argv, name=None, death=signal.SIGKILL, **popen):
        Proc.count += 1
        self.name = name or " ".join(map(str, argv))
        Proc.log_dir.mkdir(parents=True, exist_ok=True)
        safe = re.sub(r"[^\w.]+", "_", self.name)[:60]
        self.log = Proc.log_dir / f"{Proc.count:03d}-{safe}.log"
        with open(self.log, "wb") as out:
            self.popen = subprocess.Popen(
                [str(a) for a in argv], stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                preexec_fn=lambda: ctypes.CDLL(None).prctl(PR_SET_PDEATHSIG, death), **popen)
        self.pid = self.popen.pid

    def running(self):
        return self.popen.poll() is None

    def output(self):
        return self.log.read_bytes().decode(errors="replace").replace("\r", "")

    def tail(self):
        return f"{self.name} (pid {self.pid}) wrote [{self.log}]:\n{self.output()[-1500:]}"

    def wait(self, timeout):
        """The exit code (negative: the signal that ended it), or None while it runs."""
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def exit_code(self, timeout):
        code = self.wait(timeout)
        assert code is not None, f"{self.name} still running after {timeout} s; {self.tail()}"
        return code

    def kill(self):  # by its pid, and only while it has not been reaped
        self.popen.kill()
        self.popen.wait(5)

# rect: x, y, width, height on the screen; pid: Wine gives it the pid of the wine we started.
Window = namedtuple("Window", "id caption pid rect")

class Screen:
    """Xvfb on a display number of its own choosing, with -noreset: without it, each xdotool call
    that leaves it without clients resets it (the pointer and more). Given monitors (x, y, width,
    height on the X screen), Xvnc instead, whose RandR outputs Wine takes for monitors; Wine puts
    the primary's corner at (0, 0), so a monitor's rectangle there is its own less `origin`."""

    def __init__(self, size=(1024, 768), monitors=None, primary=0):
        read, write = os.pipe()
        if monitors:
            size = tuple(max(m[i] + m[i + 2] for m in monitors) for i in (0, 1))
            self.vnc = tempfile.mkdtemp(prefix="vorn-vnc-")  # the viewers' socket: ours alone
            server = ["Xvnc", "-geometry", "%dx%d" % size, "-depth", "24", "-rfbport", "-1",
                      "-rfbunixpath", Path(self.vnc, "socket"), "-SecurityTypes", "None"]
        else:
            server, self.vnc = ["Xvfb", "-screen", "0", "%dx%dx24" % size], None
        self.server = Proc([*server, "-displayfd", write, "-nolisten", "tcp", "-noreset"],
                           pass_fds=(write,))
        os.close(write)
        with os.fdopen(read) as number:  # written once the server takes connections
            assert select.select([number], [], [], 20)[0], f"no display; {self.server.tail()}"
            self.name, self.size, self.seen = ":" + number.readline().strip(), size, []
        self.env = {**os.environ, "DISPLAY": self.name, "LC_ALL": "C.UTF-8"}
        self.x, self.events = xdisplay.Display(self.name), xdisplay.Display(self.name)
        self.root = self.x.screen().root
        self.events.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        if monitors:
            self.lay_out(monitors, primary)

    def outputs(self):  # {(x, y, width, height): the outputs showing it} of the X screen
        res = self.root.xrandr_get_screen_resources()
        crtcs = [self.x.xrandr_get_crtc_info(c, res.config_timestamp) for c in res.crtcs]
        return {(c.x, c.y, c.width, c.height): c.outputs for c in crtcs if c.mode}

    def lay_out(self, monitors, primary):
        """Asks Xvnc for one output a monitor as a VNC viewer would (RFB 3.8, no security,
        SetDesktopSize of ExtendedDesktopSize), each message without waiting for the answers."""
        screens = [struct.pack(">IHHHHI", n, *rect, 0) for n, rect in enumerate(monitors)]
        with socket.socket(socket.AF_UNIX) as vnc:
            vnc.connect(str(Path(self.vnc, "socket")))  # version, security None, shared desktop;
            vnc.sendall(  # SetEncodings [ExtendedDesktopSize]; SetDesktopSize (size, then screens)
                b"RFB 003.008\n\1\1" + struct.pack(">BxHiBxHHBx", 2, 1, -308, 251, *self.size,
                                                   len(monitors)) + b"".join(screens))
            poll(lambda: set(self.outputs()) == set(monitors), 10,
                 lambda: f"monitors {monitors}, not {list(self.outputs())}; {self.server.tail()}")
        self.root.xrandr_set_output_primary(self.outputs()[monitors[primary]][0])
        self.x.sync()
        self.monitors, self.origin = monitors, monitors[primary][:2]

    def close(self):
        self.server.popen.terminate()  # not killed: it removes its lock file and socket itself
        self.server.popen.wait(5)
        if self.vnc:
            shutil.rmtree(self.vnc, ignore_errors=True)

    def xdo(self, *args, check=True):
        """Runs xdotool on this display; what it complains of (a bad key name...) fails."""
        run = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True,
                             text=True, timeout=30)
        assert not (check and run.stderr), f"xdotool {args}: {run.stderr}"
        return run

    def window(self, wid):  # None once it is gone
        run = self.xdo("getwindowname", wid, "getwindowpid", wid, "getwindowgeometry",
                       "--shell", wid, check=False)
        if run.returncode or run.stderr:
            return None
        caption, pid, *shell = run.stdout.split("\n")
        g = dict(line.split("=") for line in shell if "=" in line)
        rect = tuple(int(g[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))
        return Window(int(wid), caption, int(pid), rect)

    def windows(self, caption="."):  # the viewable windows with this caption (a pattern)
        run = self.xdo("search", "--onlyvisible", "--name", f"^{caption}$", check=False)
        return [w for w in map(self.window, run.stdout.split()) if w]

    def find(self, caption, timeout=FIRST_WINDOW_S):
        return poll(lambda: self.windows(caption), timeout,
                    lambda: f"a window '{caption}'; on the screen: {self.windows()}")[0]

    def gone(self, caption, timeout=10):
        poll(lambda: not self.windows(caption), timeout, lambda: f"{self.windows(caption)} to go")

    def shot(self, rect=None):
        x, y, w, h = rect or (0, 0, *self.size)
        raw = self.root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data
        return np.frombuffer(raw, np.uint8).reshape(h, w, 4)[:, :, 2::-1]  # BGRX to RGB

    def wait_shot(self, rect, accept, what, timeout=5):
        """The first screenshot of rect that accept() takes (windows map before they paint)."""
        last = []

        def ready():
            last[:] = [self.shot(rect)]
            return accept(last[0]) and last
        return poll(ready, timeout, lambda: f"{what} in {rect} ({save_png(last[0], 'waited')})")[0]

    def watch(self):  # forgets the windows mapped so far
        self.mapped()
        self.seen = []

    def mapped(self):
        """Each window mapped since watch(), read when first seen (if gone: caption '', pid -1)."""
        self.events.sync()
        while self.events.pending_events():
            if (event := self.events.next_event()).type == X.MapNotify:
                self.seen.append(self.window(event.window.id) or
                                 Window(event.window.id, "", -1, None))
        return self.seen

    def until_end(self, proc, timeout):  # (exit code, the windows mapped meanwhile)
        poll(lambda: self.mapped() and False or not proc.running(), timeout)
        return proc.wait(0), self.mapped()

    def saver(self, proc):
        """proc's saver window over the whole screen, once it has the keys (no window manager:
        they go to the window under the pointer)."""
        window = self.find(MAIN)
        assert (window.pid, window.rect) == (proc.pid, (0, 0, *self.size)), window
        poll(lambda: getattr(self.root.query_pointer().child, "id", 0) == window.id, 5,
             "the keyboard focus on the saver")
        return window

class Wine:
    """A Wine prefix, booted once, with a wineserver of ours running until close()."""

    def __init__(self, screen, prefix, keep=False):
        self.prefix, self.keep, self.launched = Path(prefix), keep, []
        self.env = {**os.environ, "WINEPREFIX": str(prefix), "DISPLAY": screen.name,
                    "WINEDEBUG": "-all", "LC_ALL": os.environ.get("VORN_E2E_LOCALE") or "C.UTF-8",
                    "WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree,mshtml="}
        self.prefix.mkdir(parents=True, exist_ok=True)
        if not (self.prefix / "system.reg").exists():
            assert self.run("wineboot", "-i", timeout=180) == 0
        Proc(["wineserver", "-w"], env=self.env).exit_code(60)  # wineboot's server goes first
        self.start()

    def start(self):  # on SIGINT it ends every process of the prefix: none outlives a dead run
        self.server = Proc(["wineserver", "-f", "-p"], env=self.env, death=signal.SIGINT)
        poll(self.listening, 15, lambda: f"wineserver to listen; {self.server.tail()}")

    def set_dpi(self, dpi):  # the scaling (LogPixels), which a fresh wineserver hands on
        self.set_reg(r"HKCU\Control Panel\Desktop", "LogPixels", dpi if dpi != 96 else None,
                     "REG_DWORD")
        self.close(keep=True)
        self.start()

    def listening(self):  # the socket in the server's working folder (.../server-<dev>-<inode>)
        assert self.server.running(), f"wineserver ended; {self.server.tail()}"
        cwd = Path(os.readlink(f"/proc/{self.server.pid}/cwd"))
        return cwd.name.startswith("server-") and (cwd / "socket").exists()

    def close(self, keep=False):
        Proc(["wineserver", "-k"], env=self.env).wait(30)
        if self.server.wait(10) is None:
            self.server.kill()
        if not (self.keep or keep):
            Wine.remove(self.prefix)

    @staticmethod
    def remove(prefix):  # a prefix and its server's folder, which Debian's Wine names in it
        named = prefix / "wineserver"
        tmp = named.read_text().strip() if named.exists() else ""
        if re.fullmatch(r"wine-\w{1,26}", tmp):
            shutil.rmtree(Path("/tmp", tmp), ignore_errors=True)
        shutil.rmtree(prefix, ignore_errors=True)

    def launch(self, exe, *args, cwd=None, env=None):  # `wine exe args...` in cwd or exe's folder
        proc = Proc(["wine", exe, *args], name=" ".join([Path(exe).name, *map(str, args)])[:200],
                    env={**self.env, **(env or {})}, cwd=cwd or Path(exe).parent)
        self.launched.append(proc)
        return proc

    def helper(self, name, *args):
        assert (HELPERS / name).exists(), f"{HELPERS / name} is missing: build the win64 preset"
        return self.launch(HELPERS / name, *args)

    def run(self, *args, timeout=30):  # a Wine tool (reg, wineboot...) to its end: its exit code
        return Proc(["wine", *args], env=self.env).exit_code(timeout)

    def reg_value(self, key, name):  # a string value; None when it is not there
        query = Proc(["wine", "reg", "query", key, "/v", name], env=self.env)
        return re.search(r"REG_SZ {4}(.*)", query.output())[1] if query.exit_code(30) == 0 else None

    def set_reg(self, key, name, value, kind="REG_SZ"):  # deleted when value is None
        if value is None:
            return self.run("reg", "delete", key, "/v", name, "/f")
        assert self.run("reg", "add", key, "/v", name, "/t", kind, "/d", value, "/f") == 0

class Folder:
    """A fresh folder with a copy of one program, where it reads and writes its Vorn.ini."""

    def __init__(self, program, parent=WORK):
        Path(parent).mkdir(parents=True, exist_ok=True)
        self.dir = Path(tempfile.mkdtemp(prefix="run-", dir=parent))
        self.program = self.dir / Path(program).name
        shutil.copy(program, self.program)

    def write(self, name, data):
        (self.dir / name).write_bytes(data.encode() if isinstance(data, str) else data)

    def read(self, name):
        return (self.dir / name).read_bytes() if (self.dir / name).exists() else None

    def files(self):
        return {p.name: p.read_bytes() for p in self.dir.iterdir() if p.is_file()}

def settings_in(data):
    """The keys of a settings file's first [Section] as Windows reads them: names in any case,
    blanks trimmed, the first of a name wins; UTF-16 LE or UTF-8 with a byte order mark."""
    text = data[2:].decode("utf-16-le", "replace") if data.startswith(b"\xff\xfe") else \
        data.removeprefix(b"\xef\xbb\xbf").decode("latin-1")
    values, ours = {}, None
    for line in (raw.strip(" \t\r") for raw in text.split("\n")):
        if line.startswith("[") and "]" in line:
            if ours:
                break
            ours = line[1:line.rindex("]")].strip(" \t").lower() == "section"
        elif ours and "=" in line:
            key, value = line.split("=", 1)
            values.setdefault(key.strip(" \t").lower(), value.strip(" \t"))
    return values
