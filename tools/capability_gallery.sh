#!/usr/bin/env bash
# Draws the capability graphs with qualty into docs/gallery/capability/ (the
# capability plot and probability plots of the analysis, the composite pane
# of both capability charts) on data/diameters.csv, and rewrites the two
# capability sections of docs/gallery.md in place (appended when missing);
# the rest of the page is left as it is. Run from the repository root after a
# build: bash tools/capability_gallery.sh [build/bin/qualty]
set -euo pipefail
qualty=${1:-${QUALTY:-build/bin/qualty}}
out=docs/gallery/capability
page=docs/gallery.md
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
profile="$tmp/profile.ini"
: >"$profile"
limits=(--var usl=25.43 --var nominal=25.40 --var lsl=25.37)
draw() {  # folder, then the arguments of qualty run capable
  local dir=$1
  shift
  "$qualty" --profile "$profile" run capable --var data=Diameter "$@" --format png \
    --out "$tmp/$dir" data/diameters.csv >/dev/null
}
draw normal "${limits[@]}" --pane 8 --pane 9
draw weibull --var usl=25.43 --var lsl=25.37 --set option0=4 --pane 9
draw subgroups --variant 2 --var subgroup=Sample "${limits[@]}" --set option41=1 --set option43=2
draw individuals --variant 1 "${limits[@]}" --set option16=5 --set option41=1 --set option42=1
cp "$tmp/normal/pane8.png" "$out/capability_plot.png"
cp "$tmp/normal/pane9.png" "$out/probability_plot.png"
cp "$tmp/weibull/pane9.png" "$out/probability_plot_weibull.png"
cp "$tmp/subgroups/pane8.png" "$out/capability_chart_subgroups.png"
cp "$tmp/individuals/pane8.png" "$out/capability_chart_individuals.png"

cat >"$tmp/section.md" <<'MD'
## Capability analysis: capability plot and probability plots

Panes 8 and 9 of `qualty run capable` on the bundled piston-ring diameters
(`data/diameters.csv`, limits 25.37 and 25.43, nominal 25.40), written by
`qualty run capable --var data=Diameter --var usl=25.43 --var nominal=25.40 --var lsl=25.37 --pane 8 --pane 9 --format png --out DIR data/diameters.csv`;
the last picture fits the Weibull distribution instead (`--set option0=4`, no nominal).
`tools/capability_gallery.sh` draws the pictures of this section and the next and rewrites both.

![Capability plot, normal fit](gallery/capability/capability_plot.png)

![Probability plot, normal fit](gallery/capability/probability_plot.png)

![Probability plot, Weibull fit](gallery/capability/probability_plot_weibull.png)

## Capability charts (composite pane of variants 1 and 2)

`qualty run capable --variant 2 --var data=Diameter --var subgroup=Sample --var usl=25.43 --var nominal=25.40 --var lsl=25.37 --set option41=1 --set option43=2 --format png --out DIR data/diameters.csv`
(outer warning lines, EWMA smoother), and `--variant 1 --set option16=5 --set option41=1 --set option42=1`
(individuals with both pairs of warning lines): triangles mark the points that end a run of 5 on
one side of the centre line (A) or of 5 rising or falling steps (B), or that the zone tests flag
beyond the warning lines (C four of five beyond one sigma, D two of three beyond two sigma).
The composite is the variants' one graph pane, written as `pane8`.

![Capability chart, subgroups](gallery/capability/capability_chart_subgroups.png)

![Capability chart, individuals](gallery/capability/capability_chart_individuals.png)
MD

# The page with the two sections replaced: from the first capability heading
# to the next heading of another section (or the end).
awk -v section="$tmp/section.md" '
  function put() { while ((getline line < section) > 0) print line; close(section); done = 1 }
  /^## Capability (analysis: capability plot|charts \(composite)/ {
    if (!done) put()
    skipping = 1; next
  }
  /^## / && skipping { skipping = 0; print ""; }
  !skipping { print }
  END { if (!done) { print ""; put() } }
' "$page" >"$tmp/page.md"
mv "$tmp/page.md" "$page"
