#!/usr/bin/env bash
# Draws every graph pane of the long-form gage study (variants 2, 3 and 4) on
# data/gage_study.csv and of the range-method study on data/gage_range.csv
# with qualty into docs/gallery/gage/. Run from the
# repository root after a build: bash tools/gage_gallery.sh [build/bin/qualty]
set -euo pipefail
qualty=${1:-build/bin/qualty}
out=docs/gallery/gage
mkdir -p "$out"
profile=$(mktemp)
trap 'rm -f "$profile"; rm -rf "$out/tmp"' EXIT
roles=(--var appraiser=Appraiser --var part=Part --var trial=Trial --var measurement=Measurement)
draw() {  # variant, extra options..., then the panes as the last argument
  local variant=$1 panes=${*: -1} name=$2
  local -a extra=("${@:3:$#-3}")
  local -a pane_args=()
  for p in $panes; do pane_args+=(--pane "$p"); done
  rm -rf "$out/tmp"
  "$qualty" --profile "$profile" run gagelong --variant "$variant" "${roles[@]}" "${extra[@]}" \
    "${pane_args[@]}" --format png --out "$out/tmp" data/gage_study.csv > /dev/null
  for p in $panes; do mv "$out/tmp/pane$p.png" "$out/${name}_pane$p.png"; done
}
draw 2 average_range "8 9 10 11 12 13"
draw 3 anova --set option4=1 "8 9 10 11"
draw 4 report --set tolerance=5 "8"
rm -rf "$out/tmp"
"$qualty" --profile "$profile" run gagerr --variant 1 --var first=AppraiserA --var second=AppraiserB \
  --pane 8 --pane 9 --pane 10 --format png --out "$out/tmp" data/gage_range.csv > /dev/null
for p in 8 9 10; do mv "$out/tmp/pane$p.png" "$out/range_method_pane$p.png"; done
