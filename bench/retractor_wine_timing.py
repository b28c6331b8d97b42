"""Times Retractor under Wine on a manifest of 10 000 "F" and "K" commands that delete 5 000
real files and 5 000 real registry keys, silent (/s) and with the progress window.
The run is timed inside the manifest (a first and a last "C" command stamp the clock), so the
confirmation box and Wine's start-up do not count. Figures for closing notes, not assertions.

    WINEBED_BUILD=build/retractor-mingw /usr/bin/python3 bench/retractor_wine_timing.py [rounds]
"""
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "wine"))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "wine", "retractor"))
import installation as inst  # noqa: E402
import winebed  # noqa: E402

N = 5000


def prepare():
    lines = ["10002", r"C %APPDIR%\viewcall.dll Stamp start"]
    lines += [r"F %%APPDIR%%\bench\f%05d.dat" % i for i in range(N)]
    lines += [r'K Machine "Software\Korvane\Bench\k%05d"' % i for i in range(N)]
    lines += [r"C %APPDIR%\viewcall.dll Stamp end"]
    inst.install(manifests={"bench.app": "\n".join(lines) + "\n"},
                 extra_reg=[r"[HKEY_LOCAL_MACHINE\SOFTWARE\Korvane\Bench\k%05d]" % i for i in range(N)])
    os.makedirs(inst.win(inst.APP_DIR + r"\bench"), exist_ok=True)
    for i in range(N):
        with open(inst.win(inst.APP_DIR + r"\bench\f%05d.dat" % i), "w") as f:
            f.write("x")


def one_run(silent):
    prepare()
    started = time.time()
    process = inst.retractor(*(["/s"] if silent else []), "bench.app")
    if not silent:
        inst.press("Yes")
    code = inst.stop(process, 600)
    wall = time.time() - started
    stamps = {}
    for line in inst.read(inst.APP_DIR + r"\viewcall.dll.trace").splitlines():
        _, label, value = line.split()
        stamps[label] = int(value)
    left = len(os.listdir(inst.win(inst.APP_DIR + r"\bench")))
    return code, (stamps["end"] - stamps["start"]) / 1e6, wall, left


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    if not os.path.isdir(winebed.PREFIX):
        winebed.setup()
    results = {True: [], False: []}
    for _ in range(rounds):
        for silent in (True, False):
            code, inside, wall, left = one_run(silent)
            assert code == 0 and left == 0, (code, left)
            results[silent].append(inside)
            print("%-12s manifest %.3f s  (whole process %.2f s)" % ("silent" if silent else "progress", inside, wall))
    inst.remove_everything()
    for silent in (True, False):
        r = sorted(results[silent])
        print("%s: median %.3f s, min %.3f s over %d runs" % ("silent  " if silent else "progress", r[len(r) // 2],
                                                               r[0], len(r)))


if __name__ == "__main__":
    main()
