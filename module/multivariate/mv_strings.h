// The string numbers of the T-squared chart (texts in resources/qualres.txt).
#pragma once

#include "bridge/strings.h"

namespace ztq::mvs {

constexpr Str str(int32_t n) { return static_cast<Str>(n); }

inline constexpr Str kTitle = str(2154);           // window title; the interpreter's key
inline constexpr Str kSummaryTitle = str(3003);    // summary pane title
inline constexpr Str kUsed = str(4375);            // n
inline constexpr Str kExcluded = str(4376);        // number excluded
inline constexpr Str kUcl = str(4377);             // upper control limit
inline constexpr Str kAlpha = str(4378);           // alpha as a fraction
inline constexpr Str kBeyond = str(4379);          // number beyond the limit
inline constexpr Str kListTitle = str(4380);       // listing header
inline constexpr Str kListAlpha = str(4381);       // listing: alpha
inline constexpr Str kListUcl = str(4382);         // listing: UCL
inline constexpr Str kChartTitle = str(4384);      // T-squared chart title
inline constexpr Str kChartAxisY = str(4385);      // its Y axis
inline constexpr Str kChartAxisX = str(4386);      // its X axis
inline constexpr Str kSaveT2 = str(1459);          // saved column: T-squared
inline constexpr Str kSaveMeans = str(1460);       // saved column: mean vector
inline constexpr Str kSaveCovariance = str(1469);  // saved column: covariance matrix
inline constexpr Str kRoleData = str(47003);
inline constexpr Str kRoleMeans = str(47004);
inline constexpr Str kRoleCovariance = str(47005);
inline constexpr Str kRoleLabel = str(47006);
inline constexpr Str kOptAlpha = str(47007);
inline constexpr Str kOptKnownN = str(47008);
inline constexpr Str kOptAction = str(47009);
inline constexpr Str kOptExcludePoint = str(47010);
inline constexpr Str kOptIncludePoint = str(47011);
inline constexpr Str kOptShowValues = str(47012);
inline constexpr Str kOptChartStyle = str(47013);
inline constexpr Str kOptLegendDecimals = str(47014);
inline constexpr Str kVariables = str(47015);
inline constexpr Str kHeadLabel = str(47016);
inline constexpr Str kHeadPoint = str(47017);
inline constexpr Str kHeadT2 = str(47018);
inline constexpr Str kMovedTitle = str(47019);  // which variable moved: section heading
inline constexpr Str kMovedLine = str(47020);   // %s: the largest term's variable
inline constexpr Str kPaneByLabel = str(47021);
inline constexpr Str kPaneByNumber = str(47022);
inline constexpr Str kPaneStarKey = str(47023);
inline constexpr Str kPaneEllipse = str(47024);
inline constexpr Str kLegendBeyond = str(47025);
inline constexpr Str kLegendExcluded = str(47026);
inline constexpr Str kLegendPoints = str(47027);
inline constexpr Str kMeans = str(47028);
inline constexpr Str kMeansStandard = str(47029);
inline constexpr Str kMeansEstimated = str(47030);
inline constexpr Str kCovariance = str(47031);
inline constexpr Str kCovarianceKnown = str(47032);
inline constexpr Str kCovarianceFromN = str(47033);  // %d: observations behind it
inline constexpr Str kCovarianceEstimated = str(47034);
inline constexpr Str kLegendEllipse = str(47035);
inline constexpr Str kLegendCentre = str(47036);
inline constexpr Str kIncomplete = str(47037);  // points with a missing value
inline constexpr Str kCut = str(47038);         // the line that ends a cut listing
inline constexpr Str kStarsTitle = str(47039);  // star key: the stars of signalling points

// Interpretation sentences.
inline constexpr int32_t kSentenceFirst = 6022;

}  // namespace ztq::mvs
