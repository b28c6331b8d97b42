#!/usr/bin/env bash
# The main job: builds the programs and runs Pathloom under Wine on the bundled sample site.
# Without a display it runs under Xvfb, saves a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
log=$(mktemp)
bash scripts/build.sh mingw >"$log" 2>&1 || { cat "$log"; exit 1; }
rm -f "$log"

export WINEBED_BUILD="$PWD/build/mingw" WINEBED_SOURCE="$PWD"
bed=tests/wine/winebed.py
/usr/bin/python3 "$bed" setup >/dev/null
trap '/usr/bin/python3 "$bed" cleanup' EXIT
/usr/bin/python3 - <<'PY'
import os, sys, time
sys.path.insert(0, "tests/wine")
import winebed

site = winebed.windows_path(os.path.join("samples", "site", "index.html"))
if os.path.exists(os.path.join(winebed.BUILD, "tests", "wine", "crawler", "crawl_harness.exe")):
    print("Reading the sample site", site)
    crawl = winebed.run("crawl_harness", ["--depth", "3", site], timeout=120)
    print(crawl.stdout.replace("\r", ""))

pathloom = winebed.start("Pathloom")
code, _ = winebed.driver("wait", "Pathloom 2.0", 30000)
if code == 0:
    time.sleep(1)
    print("screenshot:", winebed.screenshot("pathloom"))
    if os.environ.get("DISPLAY") and not os.environ.get("CI"):
        print("Pathloom is open; close it to finish.")
        sys.exit(winebed.stop(pathloom, None))
    winebed.driver("press", "Pathloom 2.0", "Cancel")
print("Pathloom exited with", winebed.stop(pathloom, 20))
PY
