#!/usr/bin/env bash
# Writes docs/gallery/mvchart/*.png and the section "Multivariate control
# chart" at the end of docs/gallery.md: the T-squared chart, the star key and
# the control ellipse as `qualty run mvchart` draws them on data/sweat.csv.
# Run from the repository root; tools/gallery.sh runs it after the sections
# before it (each generator rewrites the page's end).
set -euo pipefail
qualty=${QUALTY:-build/bin/qualty}
out=docs/gallery/mvchart
page=docs/gallery.md
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Two variables at alpha 5 % with subject 15 excluded: beyond-limit and
# excluded points on the chart and around the ellipse.
"$qualty" run mvchart --var data=SweatRate --var data=Sodium --var label=Subject \
  --set doption0=5 --exclude 15 --pane 8 --pane 10 --out "$tmp/two" --format png data/sweat.csv >/dev/null
# Three variables at alpha 20 %, drawn as vertical segments: the star key of
# three spokes with the stars of the points beyond the limit.
"$qualty" run mvchart --var data=SweatRate --var data=Sodium --var data=Potassium \
  --set option3=1 --set doption0=20 --pane 8 --pane 9 --out "$tmp/three" --format png data/sweat.csv >/dev/null
cp "$tmp/two/pane8.png" "$out/t2_chart.png"
cp "$tmp/two/pane10.png" "$out/ellipse.png"
cp "$tmp/three/pane8.png" "$out/t2_segments.png"
cp "$tmp/three/pane9.png" "$out/star_key.png"
section='## Multivariate control chart'
if grep -q "^$section\$" "$page"; then
  sed -n "/^$section\$/q;p" "$page" >"$tmp/page.md"
else
  cp "$page" "$tmp/page.md"
fi
cat >>"$tmp/page.md" <<'MD'
## Multivariate control chart

Hotelling's T-squared chart of the sweat data (Johnson and Wichern 2007, Table 5.1), drawn by
`qualty run mvchart`; `tools/mvchart_gallery.sh` refreshes these pictures.

Sweat rate and sodium, alpha 5 %, subject 15 excluded: the T-squared chart with its limit,
a point beyond it and the excluded point.

![T-squared chart](gallery/mvchart/t2_chart.png)

The same two variables: the control ellipse with the points and the mean vector.

![Control ellipse](gallery/mvchart/ellipse.png)

Three variables at alpha 20 %, drawn as vertical segments (`option3=1`), and the star key of the
variables with a star of each point beyond the limit (spoke length: distance from the mean in
standard deviations).

![T-squared chart as segments](gallery/mvchart/t2_segments.png)

![Star key](gallery/mvchart/star_key.png)
MD
mv "$tmp/page.md" "$page"
