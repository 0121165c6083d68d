// Message numbers of the control-chart engine's error states and of the
// options check. The texts are in the resource library.
#pragma once

namespace ztq {

inline constexpr int kMsgSizeBelowTwo = 1171;       // a subgroup size below 2
inline constexpr int kMsgSizeAboveTable = 1172;     // a subgroup size above 25 (range bases)
inline constexpr int kMsgNegativeStatistic = 1063;  // an attribute value below 0
inline constexpr int kMsgProportionAboveOne = 1174;
inline constexpr int kMsgCountNotWhole = 1091;   // np and c counts
inline constexpr int kMsgCountAboveSize = 1176;  // np count above its sample size
inline constexpr int kMsgPhaseBreaks = 1258;     // break points out of order or beyond the data
inline constexpr int kMsgGapNeighbours = 1092;   // code 17: a gap with fewer than two neighbours
inline constexpr int kMsgReferencePoint = 1276;  // V-mask reference point outside the series
inline constexpr int kMsgModelTooShort = 1278;   // codes 16, 17: fewer usable points than
                                                 // the model has coefficients, plus one

// Options check (the options form refuses these values).
inline constexpr int kMsgSigmaMultiple = 1270;     // a multiple of 0, not finite or above 1000
inline constexpr int kMsgSpan = 1271;              // a span below 1 or above 10^6
inline constexpr int kMsgWeight = 1272;            // lambda, alpha or delta outside (0, 1)
inline constexpr int kMsgRunsRule = 1273;          // a rule length below 1, m above w, zone < 0
inline constexpr int kMsgStandardMissing = 1274;   // control to a standard without centre/sigma
inline constexpr int kMsgTrendMissing = 1275;      // trend standard without intercept/slope
inline constexpr int kMsgDecisionInterval = 1279;  // h, k or headstart negative or not finite
inline constexpr int kMsgModelOrders = 1277;       // p or q outside 0..10, d outside 0..3

}  // namespace ztq
