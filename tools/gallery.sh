#!/usr/bin/env bash
# Rebuilds docs/gallery.md and its pictures, in page order, from the
# procedures themselves: every picture is a graph pane of a `qualty run` (or
# of the control-chart procedure's own graph panes) on bundled data.
#   1. the page's head: what the page shows and where each kind of graph is
#   2. bench/make_chart_gallery       every graph pane of chart-type codes 0-21
#   3. tools/make_showcase.sh         charts as published (marks, steps, phases, ...)
#   4. tools/gage_gallery.sh          the gage studies' panes (section text here)
#   5. tools/mvchart_gallery.sh       the multivariate chart
#   6. tools/capability_gallery.sh    the capability section, rewritten by its own
#                                     generator (kept as it is while there is none)
# Usage: tools/gallery.sh [BUILD_DIR] from anywhere, after a build configured
# with -DQUALTY_BENCH=ON (default BUILD_DIR: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
export QUALTY=$build/bin/qualty
page=$root/docs/gallery.md
cd "$root"
for tool in "$QUALTY" "$build/bin/make_chart_gallery"; do
  [ -x "$tool" ] || { echo "gallery.sh: $tool is not built" >&2; exit 1; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The capability section as it stands, for when its generator is absent.
awk '/^## Capability /{keep = 1} keep' "$page" > "$tmp/capability.md"

cat > "$page.part" <<'MD'
# Graph gallery

Every kind of graph the module describes, drawn by the graph component. Every picture is a graph
pane of the procedure that offers it, run on the bundled data (`data/`) or on series made by the
scripts named below; `tools/gallery.sh` rebuilds the whole page.

Where to find each kind of graph:

- Control charts with centre line, limits, zones, marked points and legend: [Control charts by
  chart-type code](#control-charts-by-chart-type-code) and [Charts as
  published](#charts-as-published)
- Histograms with a fitted curve and specification limits: pane 10 of the chart-type codes, and
  [Capability analysis](#capability-analysis-capability-plot-and-probability-plots)
- Operating-characteristic and run-length curves: panes 11 and 12 of the chart-type codes
- Probability plots: [Capability analysis](#capability-analysis-capability-plot-and-probability-plots)
- Box plots, appraiser-by-part plots and a one-page report: [Gage R&R studies](#gage-rr-studies)
- Pareto chart with the cumulative percentage on a second axis: [Charts as
  published](#charts-as-published)
- Scatter plot with a control ellipse and a star key: [Multivariate control
  chart](#multivariate-control-chart)
- Composite capability charts: [Capability
  charts](#capability-charts-composite-pane-of-variants-1-and-2)

MD
mv "$page.part" "$page"

"$build/bin/make_chart_gallery" "$root"
bash tools/make_showcase.sh "$root"

bash tools/gage_gallery.sh "$QUALTY"
cat >> "$page" <<'MD'

## Gage R&R studies

Every graph pane of the long-form gage study on `data/gage_study.csv` (the AIAG average-and-range example: 3 appraisers, 10 parts, 3 trials), drawn by the procedure through `qualty`. Made by `tools/gage_gallery.sh`.

### Variant 2: average and range

![Appraiser-by-part plot](gallery/gage/average_range_pane8.png)

![Range chart by appraiser](gallery/gage/average_range_pane9.png)

![Range chart by part](gallery/gage/average_range_pane10.png)

![Box plots by appraiser](gallery/gage/average_range_pane11.png)

![Deviation plot](gallery/gage/average_range_pane12.png)

![Measurement plot](gallery/gage/average_range_pane13.png)

### Variant 3: ANOVA with the interaction term

![Appraiser-by-part plot](gallery/gage/anova_pane8.png)

![Box plots by appraiser](gallery/gage/anova_pane9.png)

![Deviation plot](gallery/gage/anova_pane10.png)

![Measurement plot](gallery/gage/anova_pane11.png)

### Variant 4: the one-page report (tolerance 5)

![One-page gage report](gallery/gage/report_pane8.png)

### The range-method study (`gagerr`, `data/gage_range.csv`: 5 parts read by two appraisers)

![Readings](gallery/gage/range_method_pane8.png)

![Range chart](gallery/gage/range_method_pane9.png)

![Box plots](gallery/gage/range_method_pane10.png)

MD

bash tools/mvchart_gallery.sh

# The capability section's generator rewrites its own section and pictures.
{ echo; cat "$tmp/capability.md"; } >> "$page"
for gen in tools/capability_gallery.sh tools/capable_gallery.sh; do
  if [ -f "$gen" ]; then bash "$gen"; fi
done
