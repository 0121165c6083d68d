// The string numbers of the gage studies. The gage texts are numbered here
// rather than in bridge/strings.h so that the studies' labels stay together;
// a test checks that the string table holds every one of them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "bridge/strings.h"

namespace ztq::gs {

enum : int32_t {
  kAppraisers = 1461,  // default factor labels (profile "Snap" keys override them)
  kParts = 1463,
  kTrials = 1465,
  kToleranceRange = 4201,
  kTitleAverageRange = 2266,  // + pane number: the pane titles of variant 2
  kTitleAnova = 2346,         // + pane number: variant 3
  kTitleReport = 12208,
  kMeasurement = 46000,
  kRbarbar,
  kXdiff,
  kVarianceComponents,
  kSource,
  kSigma,
  kVariance,
  kPercentRr,
  kEv,
  kAv,
  kInt,
  kGrr,
  kTotal,
  kStudyVariation,
  kPercentTv,
  kPercentContribution,
  kTv,
  kCoverage,
  kNdc,
  kPercentTolerance,
  kPercentReference,
  kTolerance,
  kReference,
  kConfidenceHeading,
  kLower,
  kEstimate,
  kUpper,
  kSumSquares,
  kDf,
  kMeanSquare,
  kFRatio,
  kPValue,
  kInteractionRow,
  kErrorRow,
  kPv,
  kAxisAverage = 46040,
  kAxisRange,
  kAxisDeviation,
  kUcl,
  kRbar,
  kOutside,
  kFarOutside,
  kMean,
  kComponentsGraph,
  kReading,
  kAppraiserAverage,
  kOptMultiple,
  kOptTolerance,
  kOptReference,
  kOptConfidence,
  kOptMethod,
  kOptInteraction,
  kOptAverageMark,
  kOptAverageLine,
  kOptBoxReadings,
  kOptBoxMedians,
  kOptBoxFences,
  kOptBoxMean,
  kRoleAppraiser,
  kRolePart,
  kRoleTrial,
  kRoleMeasurement,
  kInnerFence,
  kPercentToleranceGraph,
  kAxisPart,
  kRangeOpening = 46100,
};

// Every number above, for the table check.
inline constexpr std::initializer_list<int32_t> kAll = {
    1461, 1463, 1465, 4201, 2266, 2267, 2268, 2274, 2275, 2276, 2277,
    2278, 2279, 2346, 2347, 2348, 2349, 2354, 2355, 2356, 2357, 12208,
    1070, 1097, 1098, 1130, 1131, 9000, 9001, 9002, 9003, 9004, 46100};

inline const std::string& str(int32_t n) { return text(static_cast<Str>(n)); }

// A format string of the table filled with its values in order: each "%d" or
// "%s" takes the next value (already text), "%%" is a percent sign.
std::string fill(int32_t format, std::initializer_list<std::string> values);

}  // namespace ztq::gs
