#!/usr/bin/env bash
# Writes docs/gallery/showcase/*.png and the section "Charts as published" at
# the end of docs/gallery.md: control charts and a Pareto chart drawn by
# `qualty run` itself on the bundled data and on series made here (marks and
# legend, stepped limits, phases, 10^5 points, the two-chart page, smoother
# lines).
# Usage: tools/make_showcase.sh [REPOSITORY_ROOT]; tools/gallery.sh runs it
# after make_chart_gallery (each rewrites the page's end).
set -euo pipefail
root=$(cd "${1:-.}" && pwd)
qualty=${QUALTY:-$root/build/bin/qualty}
out=$root/docs/gallery/showcase
page=$root/docs/gallery.md
heading="## Charts as published"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

# NAME PANE-FILE PROCEDURE DATA ARGS...: one run, one picture kept as NAME.png.
# (The data file comes first: --var and --exclude take several values.)
shot() {
  local name=$1 file=$2 procedure=$3 data=$4
  shift 4
  rm -rf "$tmp/o"
  "$qualty" run "$procedure" "$data" "$@" --out "$tmp/o" --format png >/dev/null
  cp "$tmp/o/$file" "$out/$name.png"
}

# 40 individuals around 10: point 12 beyond the limits, a run of nine above
# the centre from point 25 (rules), point 5 excluded.
awk 'BEGIN { print "Value";
  for (i = 1; i <= 40; i++) {
    v = 10 + 0.6 * sin(i * 1.7) + 0.4 * cos(i * 0.9);
    if (i == 12) v = 13.5;
    if (i >= 25 && i <= 33) v = 10.6 + 0.2 * sin(i);
    printf "%.4f\n", v } }' > "$tmp/marks.csv"
# 10^5 individuals: a slow wave and noise, a level shift in the last fifth.
awk 'BEGIN { print "Value";
  for (i = 1; i <= 100000; i++) {
    v = 10 + 0.5 * sin(i * 0.37) + 0.35 * cos(i * 1.91) + 0.2 * sin(i / 5000);
    if (i > 80000) v += 0.4;
    printf "%.4f\n", v } }' > "$tmp/long.csv"

shot marks pane8.png vchart "$tmp/marks.csv" --chart 3 --exclude 5 --var data=Value
shot p_chart_steps pane8.png vchart "$root/data/defectives.csv" --chart 4 \
  --var data=Defective/Inspected --var size=Inspected --var subgroup=Day
shot three_phases pane8.png vchart "$root/data/diameters.csv" --chart 3 --var data=Diameter \
  --set option67=40 --set option68=80
shot individuals_1e5 pane8.png vchart "$tmp/long.csv" --chart 3 --var data=Value
shot pareto pane8.png pareto "$root/data/defects.csv" --var raw=Defect --set reference=1
shot xbar_r_page chart.png vchart "$root/data/diameters.csv" --chart 0 --var data=Diameter \
  --var subgroup=Sample
shot smoother_lines chart.png vchart "$root/data/diameters.csv" --chart 3 --var data=Diameter \
  --set ma_line=1 --set ewma_line=1 --set ma_line2=1

section="$heading

Drawn by \`qualty run\` itself (made by \`tools/make_showcase.sh\`).

### Beyond-limit, rule-only and excluded points with their legend and rule letters

![Marks and legend](gallery/showcase/marks.png)

### p chart with unequal sample sizes: limits as steps

![p chart with stepped limits](gallery/showcase/p_chart_steps.png)

### Three phases: dividers and each phase's lines labelled

![Three phases](gallery/showcase/three_phases.png)

### Individuals chart of 10^5 points: the envelope per column and the flagged points

![10^5 points](gallery/showcase/individuals_1e5.png)

### Pareto chart with the cumulative percentage on its own axis and the 80 % line

![Pareto chart](gallery/showcase/pareto.png)

### X-bar and R chart on one page (\`chart.png\` of \`--out\`)

![X-bar and R page](gallery/showcase/xbar_r_page.png)

### Smoother lines: a moving average and an EWMA over the individuals, a moving average over the moving ranges

![Smoother lines](gallery/showcase/smoother_lines.png)
"
before=$(awk -v h="$heading" '$0 == h { exit } { print }' "$page")
printf '%s\n%s' "$before" "$section" > "$page.part"
mv "$page.part" "$page"
