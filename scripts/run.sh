#!/usr/bin/env bash
# The main job: builds the programs and drives Pathloom under Wine through its wizard: the start
# page with the bundled sample site, served on 127.0.0.1 by Python's http.server for the run (or
# the URL or local path given as argument), the tree page until the crawl ends, the chart options
# page, then the finish page in each layout: a chart in the Plotwright stand-in saved as SVG and
# drawn as PNG by rsvg-convert, and a sitemap file. It exports the tree as a sitemap file too,
# saves a screenshot of every page and chart and prints where the files are. With a display it
# leaves the wizard open; without one it runs under Xvfb.
#   bash scripts/run.sh [URL|PATH [DEPTH]]   (DEPTH 1 to 3: 1 for a site given, 3 for the sample)
# A site given is read with "Show each page's links only once" ticked; the sample with the full tree.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${2:-1}" in 1|2|3) ;; *) echo "run.sh: the depth is 1, 2 or 3" >&2; exit 2 ;; esac
bash scripts/setup.sh
log=$(mktemp)
bash scripts/build.sh mingw >"$log" 2>&1 || { cat "$log"; exit 1; }
rm -f "$log"

export WINEBED_BUILD="$PWD/build/mingw" WINEBED_SOURCE="$PWD" PATHLOOM_URL="${1:-}" PATHLOOM_DEPTH="${2:-}"
bed=tests/wine/winebed.py
/usr/bin/python3 "$bed" setup --reuse-prefix >/dev/null
trap '/usr/bin/python3 "$bed" cleanup' EXIT
/usr/bin/python3 tests/wine/drive_wizard.py
setup=build/mingw/dist/PathloomSetup.exe
if [ -f "$setup" ]; then echo "The setup: $PWD/$setup (the portable .zip lies beside it)"; fi
