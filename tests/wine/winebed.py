"""The Wine test bed: one private 32-bit prefix and display per test run, the programs under
Wine, the window driver, registry helpers, screenshots, and real HTTP and FTP servers on
127.0.0.1.

`winebed.py setup` and `winebed.py cleanup` are run by ctest around the Wine tests; the tests
import this module and find the bed through WINEBED_BUILD (the MinGW build directory).
"""
import atexit
import contextlib
import fcntl
import functools
import json
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

BUILD = os.environ.get("WINEBED_BUILD", os.path.join(os.path.dirname(__file__), "..", "..", "build", "mingw"))
SOURCE = os.environ.get("WINEBED_SOURCE", os.path.join(os.path.dirname(__file__), "..", ".."))
LANE_NAMES = "abcdefgh"


def _claim_lane(count):
    """Takes the first of COUNT lanes no other test holds, waiting if all are held; the lock
    lasts as long as this process, which Wine's processes do not inherit."""
    global _lane_lock
    while True:
        for name in LANE_NAMES[:count]:
            lock = open(os.path.join(BUILD, "winebed-%s.lock" % name), "w")
            try:
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except BlockingIOError:
                lock.close()
                continue
            _lane_lock = lock
            return name
        time.sleep(0.5)


# The tests run in lanes, each with a bed (prefix and display) of its own: WINEBED_LANE names one,
# and with WINEBED_LANES (their number) a test takes whichever lane is free.
LANE = os.environ.get("WINEBED_LANE") or (
    _claim_lane(int(os.environ["WINEBED_LANES"])) if os.environ.get("WINEBED_LANES") else "")
if LANE:
    os.environ["WINEBED_LANE"] = LANE  # a helper this test starts works in the same lane
STATE = os.path.join(BUILD, "winebed" + ("-" + LANE if LANE else ""))
PREFIX = os.path.join(STATE, "prefix")
ARTIFACTS = os.path.join(BUILD, "artifacts")
STATE_FILE = os.path.join(STATE, "state.json")
PYTHON = "/usr/bin/python3"
MARLETT = "/usr/share/wine/fonts/marlett.ttf"


def _state():
    try:
        with open(STATE_FILE) as f:
            return json.load(f)
    except OSError:
        return {}


@functools.lru_cache(maxsize=None)
def _is_64_bit_build():
    """True when BUILD holds 64-bit programs (made where the machine cannot run 32-bit ones)."""
    try:
        with open(exe("wine_driver"), "rb") as f:
            head = f.read(4096)
    except FileNotFoundError:
        return False
    pe = int.from_bytes(head[0x3C:0x40], "little")
    return head[pe + 4:pe + 6] == b"\x64\x86"


def _wine64_shims(folder=STATE):
    """A folder whose wine and wine-stable run 64-bit Wine: Debian's scripts pick the 32-bit
    loader whenever it is installed, even where the machine cannot execute it."""
    shims = os.path.join(folder, "bin")
    for name in ("wine", "wine-stable"):
        path = os.path.join(shims, name)
        if not os.path.exists(path):
            os.makedirs(shims, exist_ok=True)
            with open(path, "w") as f:
                f.write('#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n')
            os.chmod(path, 0o755)
    return shims


def env(**extra):
    """The environment for a Wine process of this run."""
    e = dict(os.environ)
    e.update(WINEPREFIX=PREFIX, WINEARCH="win32", WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    if _is_64_bit_build():
        e.update(WINEARCH="win64", WINELOADER="/usr/lib/wine/wine64",
                 PATH=_wine64_shims() + os.pathsep + e.get("PATH", ""))
    display = _state().get("display") or os.environ.get("DISPLAY")
    if display:
        e["DISPLAY"] = display
    e.update(extra)
    return e


@functools.lru_cache(maxsize=None)
def exe(name):
    """Path of a built program, e.g. exe('Retractor') or exe('wine_driver')."""
    for root, _dirs, files in os.walk(BUILD):
        if name + ".exe" in files and "winebed" not in root:
            return os.path.join(root, name + ".exe")
    raise FileNotFoundError(name + ".exe not built in " + BUILD)


class Started:
    """A program started under Wine. Its output goes to files, never pipes: Wine's helper
    processes inherit the handles and would hold a pipe open long after the program ended."""

    def __init__(self, command, **kw):
        self._out = tempfile.TemporaryFile()
        self._err = tempfile.TemporaryFile()
        kw.setdefault("stdin", subprocess.DEVNULL)
        self.process = subprocess.Popen(command, env=env(), stdout=self._out, stderr=self._err, **kw)

    def _read(self, f):
        f.seek(0)
        return f.read().decode("latin-1")

    def wait(self, timeout=None):
        """Waits for the end, killing the program after TIMEOUT seconds; returns the exit status."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return self.process.wait()

    def close(self):
        self._out.close()
        self._err.close()

    @property
    def stdout(self):
        return self._read(self._out)

    @property
    def stderr(self):
        return self._read(self._err)


def _command(program, args):
    path = program if os.path.isabs(program) or program[1:3] == ":\\" else exe(program)
    return ["wine", path, *[str(a) for a in args]]


def run(program, args=(), timeout=60, **kw):
    """Runs a program under Wine to its end (killed after TIMEOUT seconds); returns a
    CompletedProcess with the Windows exit status and the output as text."""
    started = Started(_command(program, args), **kw)
    code = started.wait(timeout)
    completed = subprocess.CompletedProcess(started.process.args, code, started.stdout, started.stderr)
    started.close()
    return completed


def start(program, args=(), **kw):
    """Starts a program under Wine; stop(started) waits for it and returns its exit status."""
    return Started(_command(program, args), **kw)


def stop(started, timeout=10):
    """Waits for a started program to end, killing it if it does not; returns its exit status."""
    return started.wait(timeout)


class _DriverServer:
    """One window driver answering request after request (wine_driver serve), for one prefix and
    display: starting a Wine process for each request cost about 0.4 s."""

    def __init__(self):
        self.key = (PREFIX, env().get("DISPLAY"))
        # Pipes are safe here: an answer ends with its own line, never with the end of the output.
        self.process = subprocess.Popen(_command("wine_driver", ["serve"]), env=env(), stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.pending = b""

    def ask(self, args, timeout):
        """(status, lines), or None when no answer came in TIMEOUT seconds."""
        self.process.stdin.write("\x1f".join(args).encode("latin-1") + b"\n")
        self.process.stdin.flush()
        deadline = time.time() + timeout
        fd = self.process.stdout.fileno()
        while b"\x1e" not in self.pending or not self.pending.endswith(b"\n"):
            remaining = deadline - time.time()
            if remaining <= 0 or self.process.poll() is not None:
                return None
            # Looked at every second: a driver that ended may have left its output to Wine's own
            # processes, so the end of the output is not a sign.
            if not select.select([fd], [], [], min(remaining, 1.0))[0]:
                continue
            more = os.read(fd, 65536)
            if not more:
                return None
            self.pending += more
        text, _, status = self.pending.decode("latin-1").rpartition("\x1e")
        self.pending = b""
        return int(status), [line.rstrip("\r") for line in text.splitlines()]

    def stop(self):
        with contextlib.suppress(OSError):
            self.process.stdin.close()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


_driver_server = None


def _stop_driver():
    global _driver_server
    if _driver_server:
        _driver_server.stop()
        _driver_server = None


atexit.register(_stop_driver)


def driver(*args, timeout=60):
    """Has the window driver carry out one request; returns (exit status, stdout lines)."""
    global _driver_server
    args = [str(a) for a in args]
    if any("\n" in a or "\x1f" in a for a in args):
        r = run("wine_driver", args, timeout=timeout)
        return r.returncode, [line.rstrip("\r") for line in r.stdout.splitlines()]
    for attempt in (1, 2):
        if _driver_server and (_driver_server.key != (PREFIX, env().get("DISPLAY"))
                               or _driver_server.process.poll() is not None):
            _stop_driver()
        if not _driver_server:
            _driver_server = _DriverServer()
        answer = _driver_server.ask(args, timeout)
        if answer is not None:
            return answer
        # Ended under it (a restart of Wine, say): asked once more of a new one. Stuck: given up.
        ended = _driver_server.process.poll() is not None
        _driver_server.process.kill()
        _stop_driver()
        if not ended:
            break
    return -9, []


def window_texts(caption, wait_ms=10000):
    """The texts of a window's children (after waiting for it), or None when it never came."""
    code, _ = driver("wait", caption, wait_ms)
    if code != 0:
        return None
    code, lines = driver("texts", caption)
    return [line.split("\t", 1)[1] if "\t" in line else line for line in lines[1:]] if code == 0 else None


def screenshot(name):
    """Saves the display as artifacts/NAME.png; returns the path."""
    os.makedirs(ARTIFACTS, exist_ok=True)
    path = os.path.join(ARTIFACTS, name + ".png")
    display = env().get("DISPLAY")
    subprocess.run(["/usr/bin/import", "-display", display, "-window", "root", path],
                   check=False, capture_output=True, timeout=30)
    return path


def unix_path(windows_path):
    """The Unix path of a path in the prefix (C:\\... only)."""
    p = windows_path.replace("\\", "/")
    if p[1:3].lower() == ":/" and p[0].lower() == "c":
        return os.path.join(PREFIX, "drive_c", p[3:])
    raise ValueError(windows_path)


def windows_path(path):
    """The Windows name of a Unix path (Z: maps the Unix root)."""
    path = os.path.abspath(path)
    drive_c = os.path.join(PREFIX, "drive_c")
    if path.startswith(drive_c):
        return "C:" + path[len(drive_c):].replace("/", "\\") or "C:\\"
    return "Z:" + path.replace("/", "\\")


def reg(*args, check=True):
    """Runs Wine's reg.exe with the arguments; returns its stdout."""
    r = run("C:\\windows\\system32\\reg.exe", args)
    if check and r.returncode != 0:
        raise RuntimeError("reg %s failed: %s%s" % (" ".join(args), r.stdout, r.stderr))
    return r.stdout


def reg_set(key, name, value, kind="REG_SZ"):
    """Sets a value (name None: the default value)."""
    args = ["add", key, "/t", kind, "/d", str(value), "/f"]
    args[2:2] = ["/ve"] if name is None else ["/v", name]
    reg(*args)


def reg_query(key, name=None):
    """The text of a value, or None when the key or value is missing."""
    args = ["query", key] + (["/ve"] if name is None else ["/v", name])
    r = run("C:\\windows\\system32\\reg.exe", args)
    if r.returncode != 0:
        return None
    for line in r.stdout.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            return parts[2] if len(parts) == 3 else ""
    return None


def reg_key_exists(key):
    return run("C:\\windows\\system32\\reg.exe", ["query", key]).returncode == 0


def reg_delete(key, name=None):
    args = ["delete", key, "/f"] + ([] if name is None else ["/v", name])
    reg(*args, check=False)


def set_windows_version(version):
    """Sets the version Wine reports to programs: 'nt351', 'win95', 'win7', ..."""
    reg_set(r"HKCU\Software\Wine", "Version", version)


def wineserver_wait():
    """Waits until every program of the prefix has ended."""
    subprocess.run(["wineserver", "-w"], env=env(), timeout=120, check=False,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


PLOTWRIGHT_WINDOW = "class:PlotwrightFrame"


def stop_plotwright(timeout_ms=10000):
    """Closes every running Plotwright (its server ends with its window) and waits until none is
    left. Returns True when none is left."""
    deadline = time.time() + timeout_ms / 1000
    while driver("gone", PLOTWRIGHT_WINDOW, 0)[0] != 0:
        if time.time() > deadline:
            return False
        driver("close", PLOTWRIGHT_WINDOW)
        driver("gone", PLOTWRIGHT_WINDOW, 2000)
    return True


def register_plotwright(version=None, journal=None, svg_folder=None, fail_at=None, idle_seconds=None):
    """Registers the Plotwright stand-in as "tesselplot.application" in the prefix. The options
    go into the registered command, so every server a client starts from then on uses them:
    VERSION is the version text it reports (default "7.0"; "5.0" runs a client's older branches),
    JOURNAL a Unix path that gets one line per call received ("OBJECT DISPID KIND [ARGS]", and
    "# svg PATH" for each drawing saved), SVG_FOLDER the Unix folder where it saves the drawing
    when a run ends normally, FAIL_AT the number of the call (counted per application object, from
    1) that fails with DISP_E_EXCEPTION, IDLE_SECONDS how long it stays without clients. A running
    Plotwright keeps the options it started with, so it is closed first."""
    stop_plotwright()
    args = ["/regserver"]
    if version is not None:
        args.append("/version:%s" % version)
    if journal is not None:
        args.append("/journal:%s" % windows_path(journal))
    if svg_folder is not None:
        args.append("/svgdir:%s" % windows_path(svg_folder))
    if fail_at is not None:
        args.append("/failat:%d" % fail_at)
    if idle_seconds is not None:
        args.append("/idle:%d" % idle_seconds)
    r = run("Plotwright", args)
    if r.returncode != 0:
        raise RuntimeError("Plotwright /regserver failed: %s" % r.stderr)
    start_rpcss()


def start_rpcss(timeout=60):
    """Starts Wine's RpcSs service unless it runs, and waits until it does. COM activation needs it;
    it ends by itself some time after its last client, and a start left to COM can take longer
    than COM waits, and that activation then never completes."""
    sc = "C:\\windows\\system32\\sc.exe"
    deadline = time.time() + timeout
    while "RUNNING" not in run(sc, ["query", "RpcSs"]).stdout:
        if time.time() > deadline:
            raise RuntimeError("RpcSs does not start")
        run(sc, ["start", "RpcSs"], timeout=timeout, start_new_session=True)


def read_journal(path):
    """The call lines of a Plotwright journal, without the notes that start with '#'."""
    with open(path, encoding="ascii") as f:
        return [line for line in f.read().splitlines() if line and not line.startswith("#")]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def _wait_port(port, process, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if process.poll() is not None:
            raise RuntimeError("server ended early")
        with socket.socket() as s:
            if s.connect_ex(("127.0.0.1", port)) == 0:
                return
        time.sleep(0.05)
    raise RuntimeError("server did not start on port %d" % port)


@contextlib.contextmanager
def _server(command, port, log=None):
    with open(log, "ab") if log else contextlib.nullcontext(subprocess.DEVNULL) as err:
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=err)
    try:
        _wait_port(port, process)
        yield port
    finally:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


_FAILING_SERVER = """
import functools, http.server, sys
port, root, failing = sys.argv[1:]
class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        self.send_error(500) if self.path == failing else super().do_GET()
http.server.ThreadingHTTPServer(("127.0.0.1", int(port)), functools.partial(Handler, directory=root)).serve_forever()
"""


def http_server(root, log=None, failing=None):
    """A real web server (python3 -m http.server) for ROOT on 127.0.0.1; yields its port.
    With LOG, the server's request log (one line per request) is appended to that file. The
    path FAILING, if given, is answered with 500 Internal Server Error."""
    port = free_port()
    if failing:
        return _server([PYTHON, "-c", _FAILING_SERVER, str(port), root, failing], port, log)
    return _server([PYTHON, "-m", "http.server", str(port), "--bind", "127.0.0.1",
                    "--directory", root], port, log)


_HTTPS_SERVER = """
import functools, http.server, ssl, sys
port, root, certificate, key = sys.argv[1:]
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=root)
server = http.server.ThreadingHTTPServer(("127.0.0.1", int(port)), handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(certificate, key)
# The handshake runs in each request's thread: a client that never completes it holds up no other.
server.socket = context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)
server.serve_forever()
"""


def https_server(root, certificate, key, log=None):
    """http_server over TLS, presenting CERTIFICATE (PEM, with the chain up to its authority)
    with its private KEY (PEM); yields its port."""
    port = free_port()
    return _server([PYTHON, "-c", _HTTPS_SERVER, str(port), root, certificate, key], port, log)


def requested_paths(log):
    """The paths of the GET requests in an http_server log, in order."""
    with open(log, encoding="latin-1") as f:
        return re.findall(r'"GET (\S+) HTTP', f.read())


def ftp_server(root):
    """A real anonymous FTP server (pyftpdlib) for ROOT on 127.0.0.1; yields its port."""
    port = free_port()
    return _server([PYTHON, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", str(port),
                    "-d", root], port)


def _free_display():
    # Lanes set up at the same time look in ranges of their own.
    first = 90 + 20 * (sum(map(ord, LANE)) % 5)
    for n in list(range(first, 200)) + list(range(90, first)):
        if not os.path.exists("/tmp/.X11-unix/X%d" % n) and not os.path.exists("/tmp/.X%d-lock" % n):
            return n
    raise RuntimeError("no free X display")


def _template_path(arch):
    # Made again when Wine changes: wineboot updates a prefix whose wine.inf is older.
    try:
        stamp = int(os.stat("/usr/share/wine/wine.inf").st_mtime)
    except OSError:
        stamp = 0
    cache = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    return os.path.join(cache, "winebed", "%s-%d" % (arch, stamp))


def make_template(arch=None):
    """A new prefix as wineboot makes it, made once per user, architecture and Wine and copied for
    each bed: making one costs about 20 s, copying it well under a second. Returns its path."""
    e = env()
    arch = arch or e["WINEARCH"]
    template = _template_path(arch)
    if arch == "win64":
        e.update(WINELOADER="/usr/lib/wine/wine64",
                 PATH=_wine64_shims(os.path.dirname(template)) + os.pathsep + os.environ.get("PATH", ""))
    e.update(WINEPREFIX=template, WINEARCH=arch)
    os.makedirs(os.path.dirname(template), exist_ok=True)
    with open(template + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)  # lanes starting together make it once
        complete = os.path.join(template, "made-whole")
        if not os.path.exists(complete):
            shutil.rmtree(template, ignore_errors=True)
            subprocess.run(["wineboot", "-i"], env=e, check=True, timeout=300, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # The template's own server must be gone before the first copy is taken.
            subprocess.run(["wineserver", "-w"], env=e, check=False, timeout=120)
            open(complete, "w").close()
    return template


def _copy_prefix(template, prefix):
    """Copies a prefix; Wine's libraries and fonts, which nothing writes, are hard links to the
    template's, so that a copy costs a fraction of a second instead of copying 600 MB."""
    for root, dirs, files in os.walk(template):
        target = os.path.join(prefix, os.path.relpath(root, template))
        os.makedirs(target, exist_ok=True)
        for name in dirs + files:
            source, copy = os.path.join(root, name), os.path.join(target, name)
            if os.path.islink(source):
                os.symlink(os.readlink(source), copy)
            elif name in files:
                if os.path.getsize(source) > 65536 and not name.endswith((".reg", ".ini")):
                    os.link(source, copy)
                else:
                    shutil.copy2(source, copy)


def make_prefix(reuse=False, fresh=False):
    """Makes the prefix PREFIX names as every test expects it, on this run's display; with REUSE,
    a prefix made whole by an earlier run is taken as it is; FRESH makes it with wineboot, for
    this HOME, instead of copying the template."""
    # Wine's services (services.exe, and rpcss.exe that COM needs) start here and must outlive this
    # command: in a session of their own they escape ctest, which ends the test's process group.
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                 start_new_session=True)
    made = os.path.join(PREFIX, "made-by-winebed")
    if not (reuse and os.path.exists(made)):
        shutil.rmtree(PREFIX, ignore_errors=True)
        if fresh:
            subprocess.run(["wineboot", "-i"], env=env(), check=True, timeout=300, **quiet)
        else:
            _copy_prefix(make_template(), PREFIX)
    # Wine draws the caption buttons' symbols with Marlett, which this Wine does not find in
    # Debian's data folder; in the prefix's Fonts folder it does. Only Marlett: the dialogs'
    # other faces would change their measure.
    if os.path.exists(MARLETT):
        shutil.copy(MARLETT, os.path.join(PREFIX, "drive_c", "windows", "Fonts"))
    # A persistent server keeps each start of a program at tens of milliseconds.
    subprocess.run(["wineserver", "-p"], env=env(), check=False, timeout=60, **quiet)
    reg_set(r"HKCU\Software\Wine\WineDbg", "ShowCrashDialog", 0, "REG_DWORD")
    if _state().get("display"):
        # Xvfb has no window manager, and Wine waits 2 s for one each time it shows a managed
        # window again; unmanaged windows get their title bars drawn by Wine itself.
        reg_set(r"HKCU\Software\Wine\X11 Driver", "Managed", "N")
    elif reuse:
        reg_delete(r"HKCU\Software\Wine\X11 Driver", "Managed")
    open(made, "w").close()


def setup(reuse_prefix=False):
    cleanup()
    if reuse_prefix and os.path.isdir(STATE):
        # The main command keeps its prefix from run to run: making one costs about 20 s.
        for name in set(os.listdir(STATE)) - {os.path.basename(PREFIX)}:
            path = os.path.join(STATE, name)
            shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
    else:
        shutil.rmtree(STATE, ignore_errors=True)
    os.makedirs(STATE, exist_ok=True)
    state = {}
    if not os.environ.get("DISPLAY"):
        n = _free_display()
        xvfb = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        state.update(display=":%d" % n, xvfb_pid=xvfb.pid)
        for _ in range(100):
            if os.path.exists("/tmp/.X11-unix/X%d" % n):
                break
            time.sleep(0.05)
    with open(STATE_FILE, "w") as f:
        json.dump(state, f)
    make_prefix(reuse_prefix)
    # The desktop process starts with the first window; start it here, detached from any test.
    run("wine_driver", ["list"], start_new_session=True)
    start_rpcss()
    print("prefix %s, display %s" % (PREFIX, env().get("DISPLAY")))


def cleanup():
    state = _state()
    if os.path.isdir(PREFIX):
        subprocess.run(["wineserver", "-k"], env=env(), check=False, timeout=60,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    pid = state.get("xvfb_pid")
    if pid:
        with contextlib.suppress(ProcessLookupError):
            os.kill(pid, signal.SIGTERM)
        with contextlib.suppress(OSError):
            os.remove(STATE_FILE)


def each_lane(command, count):
    """Runs COMMAND (setup or cleanup) for lanes a, b, ... at once; fails if one failed."""
    started = [subprocess.Popen([PYTHON, __file__, command], env=dict(os.environ, WINEBED_LANE=name))
               for name in LANE_NAMES[:count]]
    return max(p.wait() for p in started)


if __name__ == "__main__":
    if "--lanes" in sys.argv:
        sys.exit(each_lane(sys.argv[1], int(sys.argv[sys.argv.index("--lanes") + 1])))
    if sys.argv[1] == "setup":
        setup(reuse_prefix="--reuse-prefix" in sys.argv[2:])
    elif sys.argv[1] == "template":
        # Made ahead, while the programs build: the machine's Wine runs 32-bit programs or only 64-bit ones.
        try:
            runs_32_bit = subprocess.run(["/usr/lib/wine/wine", "--version"], capture_output=True).returncode == 0
        except OSError:
            runs_32_bit = False
        print(make_template("win32" if runs_32_bit else "win64"))
    else:
        cleanup()
