// String numbers of the chart graphs and their summaries, spliced into the
// module's list of strings (bridge/strings.h).
#pragma once

#define ZTQ_CHART_GRAPH_STRINGS(X)                                                  \
  X(kVcRulesOnSmoothedZones, 50100) /* zone rules applied to the smoothed values */ \
  X(kVcRulesOnSmoothed, 50101)      /* rules applied to the smoothed values */      \
  X(kVcRulesNotOnSums, 50102)       /* rules applied to chart 2, not to the sums */
