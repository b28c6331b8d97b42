"""A realistic Viewer installation in the Wine prefix for Retractor's tests: files, registry
entries, shared-DLL counts, manifests, plus helpers to run Retractor, answer its windows and
take snapshots of the prefix."""
import os
import shutil
import subprocess
import tempfile
import time

import winebed

TITLE = "The Korvane Uninstaller"
DATA_DIR = r"C:\Korvane\Uninst"
APP_DIR = r"C:\Viewer"
SYS_DIR = r"C:\Viewer\System"
NT_SHARED = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\SharedDLLs"
NEW_SHARED = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs"
BASE_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Korvane\Uninstaller"

VIEWER_APP = r"""19
/ Viewer 1.0 uninstall manifest
A Viewer -
C %APPDIR%\viewcall.dll StdcallText goodbye world
C %APPDIR%\viewcall.dll CdeclText two words
C %APPDIR%\viewcall.dll StdcallNone
U %APPDIR%\viewreg.dll Unregister
F %APPDIR%\viewer.exe
F %APPDIR%\Read Me.txt
F %APPDIR%\logs\*.log
D %APPDIR%\logs
D %APPDIR%\Help
S %SYSDIR%\viewctl.dll S %SYSDIR%\viewold.dll
K Machine "Software\Korvane\Viewer"
K Cuser "Software\Korvane\Viewer" Window Pos
K Root ".vwr"
K Machine E "Software\Korvane\EmptyKey"
K Machine E "Software\Korvane\NotEmpty"
N %GROUP%Viewer
"""

SHARED_SYS = r"""2
K Machine "Software\Korvane\Shared"
F %APPDIR%\shared.txt
"""


def win(path):
    return winebed.unix_path(path)


def reg_text(value):
    return '"%s"' % value.replace("\\", "\\\\").replace('"', '\\"')


def import_reg(lines):
    """Imports REGEDIT4 lines with one regedit process."""
    with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False, dir=winebed.STATE) as f:
        f.write("REGEDIT4\r\n\r\n" + "\r\n".join(lines) + "\r\n")
        path = f.name
    try:
        subprocess.run(["wine", "regedit", "/S", winebed.windows_path(path)], env=winebed.env(), check=True,
                       capture_output=True, timeout=60)
    finally:
        os.remove(path)


def export(key):
    """The text of a registry export of KEY ("" when it does not exist). Through files, as every
    Wine program's output: services that regedit starts would hold a pipe open while they run."""
    fd, path = tempfile.mkstemp(suffix=".reg", dir=winebed.STATE)
    os.close(fd)
    try:
        r = winebed.run(r"C:\windows\regedit.exe", ["/E", winebed.windows_path(path), key], timeout=300)
        with open(path, "rb") as f:
            data = f.read()
    finally:
        os.remove(path)
    if r.returncode != 0 or not data:
        return ""
    return data.decode("utf-16") if data[:2] == b"\xff\xfe" else data.decode("latin-1")


def keys_of(export_text):
    """The key names of an export, lower-cased."""
    return {line.strip()[1:-1].lower() for line in export_text.splitlines() if line.startswith("[")}


def remove_everything():
    for key in (r"HKEY_LOCAL_MACHINE\SOFTWARE\Korvane", r"HKEY_CURRENT_USER\Software\Korvane",
                r"HKEY_CLASSES_ROOT\.vwr"):
        winebed.reg_delete(key)
    for directory in (r"C:\Korvane", APP_DIR, r"C:\Other"):
        shutil.rmtree(win(directory), ignore_errors=True)


def write(path, text):
    os.makedirs(os.path.dirname(win(path)), exist_ok=True)
    with open(win(path), "w", newline="\r\n") as f:
        f.write(text)


def install(counts_under=NEW_SHARED, data_dir_value=DATA_DIR + "\\", manifests=None, extra_reg=()):
    """Lays out the installation; counts_under is the SharedDLLs key that gets the counts."""
    remove_everything()
    for name in ("viewer.exe", "Read Me.txt", r"logs\a.log", r"logs\b.log", "shared.txt",
                 r"System\viewctl.dll", r"System\viewold.dll", r"Help\viewer.hlp"):
        write(APP_DIR + "\\" + name, "data of " + name)
    trace_dll = os.path.join(os.path.dirname(winebed.exe("retractor_app_window")), "retractor_trace.dll")
    for name in ("viewcall.dll", "viewreg.dll"):
        shutil.copy(trace_dll, win(APP_DIR + "\\" + name))
    os.makedirs(win(DATA_DIR), exist_ok=True)
    for name, text in (manifests or {"viewer.app": VIEWER_APP, "Shared.sys": SHARED_SYS}).items():
        write(DATA_DIR + "\\" + name, text)
    import_reg([
        "[%s]" % BASE_KEY, "@=" + reg_text(data_dir_value),
        "[%s\\APPDIR]" % BASE_KEY, "@=" + reg_text(APP_DIR),
        "[%s\\SYSDIR]" % BASE_KEY, "@=" + reg_text(SYS_DIR),
        "[%s\\GROUP]" % BASE_KEY, "@=\"Viewer\"",
        r"[HKEY_LOCAL_MACHINE\SOFTWARE\Korvane\Viewer\Settings\Deep\Deeper]", "\"v\"=\"1\"",
        r"[HKEY_LOCAL_MACHINE\SOFTWARE\Korvane\Viewer\Recent]",
        r"[HKEY_LOCAL_MACHINE\SOFTWARE\Korvane\EmptyKey]",
        r"[HKEY_LOCAL_MACHINE\SOFTWARE\Korvane\NotEmpty]", "\"v\"=\"1\"",
        r"[HKEY_LOCAL_MACHINE\SOFTWARE\Korvane\Shared]",
        r"[HKEY_CURRENT_USER\Software\Korvane\Viewer]", "\"Window Pos\"=\"10,10\"", "\"Keep\"=\"yes\"",
        r"[HKEY_CLASSES_ROOT\.vwr\shell\open]",
        "[%s]" % counts_under,
        reg_text(SYS_DIR + r"\viewctl.dll") + "=dword:00000002",
        reg_text(SYS_DIR + r"\viewold.dll") + "=dword:00000001",
        *extra_reg,
    ])


def exists(path):
    return os.path.exists(win(path))


def read(path):
    with open(win(path)) as f:
        return f.read()


def shared_count(key, path):
    for line in export(key).splitlines():
        if line.lower().startswith(reg_text(path).lower() + "="):
            return int(line.split("dword:")[1], 16)
    return None


def snapshot():
    """Every file of drive C (path, size, time) and the registry parts an uninstall could touch."""
    files = {}
    root = os.path.join(winebed.PREFIX, "drive_c")
    for directory, _dirs, names in os.walk(root):
        if directory.startswith(os.path.join(root, "windows")):
            continue
        for name in names + _dirs:
            p = os.path.join(directory, name)
            st = os.lstat(p)
            files[os.path.relpath(p, root)] = (st.st_size, st.st_mtime_ns)
    registry = {key: export(key) for key in (r"HKEY_LOCAL_MACHINE\SOFTWARE", r"HKEY_CURRENT_USER\Software",
                                              r"HKEY_USERS\.DEFAULT\Software")}
    return files, registry


def retractor(*args):
    """Starts Retractor; returns the process."""
    return winebed.start("Retractor", list(args))


def stop(process, timeout):
    """Waits for (or kills) a started program, releases its output files; returns its status."""
    code = winebed.stop(process, timeout)
    process.close()
    return code


def run_silent(*args, timeout=120):
    r = winebed.run("Retractor", list(args), timeout=timeout)
    return r.returncode


def run_line(command_line, timeout=120):
    """Runs Retractor with exactly this command line; returns its exit status."""
    program = winebed.windows_path(winebed.exe("Retractor"))
    return winebed.run("retractor_launch", [program, command_line], timeout=timeout).returncode


def texts_of(caption=TITLE, containing="", timeout=20):
    """The child texts of the first window with the caption that holds a text containing CONTAINING."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        code, lines = winebed.driver("texts", caption)
        if code == 0:
            texts = [line.split("\t", 1)[1] if "\t" in line else line for line in lines[1:]]
            if any(containing in t for t in texts):
                return texts
        time.sleep(0.1)
    return None


def press(button, caption=TITLE, timeout=20):
    """Presses a button of a window with the caption (retrying while another window of that caption is first)."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        if winebed.driver("press", caption, button, 2000)[0] == 0:
            return True
        time.sleep(0.1)
    return False


class StandInProgman:
    """Runs the stand-in Program Manager with GROUPS ("P:Name=item,item;C:Name=item")."""

    def __init__(self, groups, slow=False):
        self.args = (["slow"] if slow else []) + [groups]

    def __enter__(self):
        fd, self.path = tempfile.mkstemp(suffix=".log", dir=winebed.STATE)
        os.close(fd)
        self.process = winebed.start("retractor_progman", [winebed.windows_path(self.path)] + self.args)
        deadline = time.time() + 20
        while "READY" not in self._lines() and time.time() < deadline:
            time.sleep(0.05)
        return self

    def _lines(self):
        with open(self.path) as f:
            return f.read().splitlines()

    def log(self):
        """What it was asked, after READY."""
        return [line for line in self._lines() if line != "READY"]

    def __exit__(self, *exc):
        self.process.wait(0)
        self.process.close()
        return False
