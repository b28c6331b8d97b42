"""Where a program under Wine spends its time, by function (not a test): reads `perf record`
output and names each sample's function, also inside Wine's own PE libraries (comctl32.dll,
ntdll.dll, user32.dll ...), whose COFF symbol tables perf does not read.

  perf record -p PID -o perf.data -- sleep 10
  /usr/bin/python3 bench/wine_perf_report.py perf.data [TOP]

Prints the share of samples of each library and the TOP (default 25) functions."""
import bisect
import collections
import re
import subprocess
import sys

_tables = {}


def symbols(path):
    """(sorted addresses, names) of a PE file's functions where Wine maps it (its preferred
    address; a symbol's value counts from the start of its section, the first being .text)."""
    if path not in _tables:
        base, addresses, names = 0, [], []
        try:
            head = subprocess.run(["objdump", "-h", path], capture_output=True, text=True).stdout
            match = re.search(r"^\s*0 \S+\s+[0-9a-f]+\s+([0-9a-f]+)", head, re.M)
            base = int(match.group(1), 16) if match else 0
            table = subprocess.run(["objdump", "-t", path], capture_output=True, text=True).stdout
            for line in table.splitlines():
                # [ 712](sec  1)(fl 0x00)(ty   20)(scl   2) (nx 0) 0x0001faf0 _DPA_GetPtrIndex@8
                match = re.search(r"\(sec\s+1\).*\(ty\s+20\).*0x([0-9a-f]+) (\S+)$", line)
                if match:
                    addresses.append(base + int(match.group(1), 16))
                    names.append(match.group(2).lstrip("_").split("@")[0])
        except OSError:
            pass
        order = sorted(range(len(addresses)), key=addresses.__getitem__)
        _tables[path] = ([addresses[i] for i in order], [names[i] for i in order])
    return _tables[path]


def name_of(ip, symbol, dso):
    if symbol and symbol != "[unknown]":
        return symbol
    if dso.endswith((".dll", ".exe", ".drv")):
        addresses, names = symbols(dso)
        i = bisect.bisect_right(addresses, ip) - 1
        if i >= 0:
            return names[i]
    return "?"


def main():
    data = sys.argv[1]
    top = int(sys.argv[2]) if len(sys.argv) > 2 else 25
    out = subprocess.run(["perf", "script", "-i", data, "-F", "ip,sym,dso", "--full-source-path"],
                         capture_output=True, text=True).stdout
    by_dso, by_function, total = collections.Counter(), collections.Counter(), 0
    for line in out.splitlines():
        match = re.match(r"\s*([0-9a-f]+)\s+(.*?)\s*\((.*)\)\s*$", line)
        if not match:
            continue
        ip, symbol, dso = int(match.group(1), 16), match.group(2).split("+")[0], match.group(3)
        short = dso.rsplit("/", 1)[-1]
        by_dso[short] += 1
        by_function["%s!%s" % (short, name_of(ip, symbol, dso))] += 1
        total += 1
    print("%d samples" % total)
    for dso, n in by_dso.most_common(12):
        print("%6.1f%%  %s" % (100.0 * n / total, dso))
    print()
    for function, n in by_function.most_common(top):
        print("%6.1f%%  %s" % (100.0 * n / total, function))


if __name__ == "__main__":
    main()
