#!/usr/bin/env bash
# The demo's report in a real headless browser, with no network: it must load
# without fetching anything, hold one heading per analysis, show every graph
# as SVG (the control charts with their limit lines), and no text may run out
# of its block, at a desktop and at a narrow width. A screenshot is kept.
#   report_browser.sh QUALTY_BIN SOURCE_DIR [SCREENSHOT.png]
set -euo pipefail
bin=$1
src=$2
shot=${3:-}
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  echo "no chromium: install it with tools/deps.sh"
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/qualty" --profile "$work/absent.ini" demo --out "$work/demo" >/dev/null

report="$work/demo/report.html"
grep -q '<svg' "$report"
# The page with the checking script appended; the report itself has none.
{ sed 's#</body>##; s#</html>##' "$report"; echo '<script>'; cat "$src/tests/browser/report_check.js"
  echo '</script></body></html>'; } > "$work/checked.html"

# No network: every request would go to a proxy that is not there.
flags=(--headless --no-sandbox --disable-gpu --no-first-run --disable-extensions
       --proxy-server=127.0.0.1:9 --proxy-bypass-list='<-loopback>' --user-data-dir="$work/profile"
       --virtual-time-budget=5000 --run-all-compositor-stages-before-draw)
status=0
for width in 1200 560; do
  "$browser" "${flags[@]}" --window-size=$width,2000 --dump-dom "file://$work/checked.html" \
    2>"$work/browser.log" > "$work/dom.html" || true
  line=$(grep -o '<pre id="layout-check">[^<]*</pre>' "$work/dom.html" | sed 's/<[^>]*>//g;s/&quot;/"/g')
  if [ -z "$line" ]; then
    echo "width $width: the check did not run"; tail -5 "$work/browser.log"; exit 1
  fi
  echo "width $width: $line"
  echo "$line" | grep -q '"problems":\[\]' || status=1
  echo "$line" | grep -q '"analyses":3,"headings":3,' || status=1
  echo "$line" | grep -q '"graphs_with_limits":2,' || status=1
done

# Printed, each pane starts a page: at least one page per pane.
"$browser" "${flags[@]}" --no-pdf-header-footer --print-to-pdf="$work/printed.pdf" \
  "file://$report" 2>"$work/browser.log" || true
pages=$(pdfinfo "$work/printed.pdf" | sed -n 's/^Pages: *//p')
panes=$(grep -c '<section class="pane"' "$report")
echo "printed: $pages pages for $panes panes"
[ "${pages:-0}" -gt "$panes" ] || status=1

# A screenshot of the report itself, as a reader sees it.
if [ -n "$shot" ]; then
  "$browser" "${flags[@]}" --window-size=1200,1800 --hide-scrollbars --screenshot="$shot" \
    "file://$report" 2>"$work/browser.log" || true
  [ -s "$shot" ] || { echo "no screenshot"; status=1; }
fi
exit $status
