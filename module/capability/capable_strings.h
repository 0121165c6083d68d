// The string numbers of the capability procedure, spliced into the module's
// list of strings (bridge/strings.h).
#pragma once

#define ZTQ_CAPABLE_STRINGS(X)                                                \
  X(kCapTitle, 1962)          /* window title: capability analysis */         \
  X(kCapNotPositive, 1069)    /* data not all positive for the law */         \
  X(kCapAllEqual, 1042)       /* every observation equal */                   \
  X(kCapBadLimits, 1170)      /* a limit without value, or out of order */    \
  X(kCapPearsonOutside, 1182) /* skewness or kurtosis outside the tables */   \
  X(kCapPearsonNoCell, 4156)  /* empty table cell or unordered percentiles */ \
  X(kCapMean, 3606)                                                           \
  X(kCapSd, 3607)                                                             \
  X(kCapLocation, 3608)                                                       \
  X(kCapScale, 3609)                                                          \
  X(kCapShape, 3677)                                                          \
  X(kCapExponential, 3643)                                                    \
  X(kCapExtreme, 3644)                                                        \
  X(kCapLognormal, 3645)                                                      \
  X(kCapNormal, 3646)                                                         \
  X(kCapWeibull, 3647)                                                        \
  X(kCapGamma, 10162)                                                         \
  X(kCapLaplace, 10163)                                                       \
  X(kCapLogistic, 10164)                                                      \
  X(kCapCp1, 3045)                                                            \
  X(kCapCpk1, 3046)                                                           \
  X(kCapCpu1, 3047)                                                           \
  X(kCapCpl1, 3048)                                                           \
  X(kCapCr1, 3049)                                                            \
  X(kCapCpm1, 3050)                                                           \
  X(kCapDistribution, 4101)                                                   \
  X(kCapSampleSize, 4102)                                                     \
  X(kCapNaturalUpper, 4104)                                                   \
  X(kCapNaturalLower, 4105)                                                   \
  X(kCapHeading1, 4107)                                                       \
  X(kCapHeading2, 4108)                                                       \
  X(kCapRowUsl, 4109)                                                         \
  X(kCapRowNominal, 4110)                                                     \
  X(kCapRowLsl, 4111)                                                         \
  X(kCapRowTotal, 4112)                                                       \
  X(kCapCp0, 4114)                                                            \
  X(kCapCpk0, 4115)                                                           \
  X(kCapCpu0, 4116)                                                           \
  X(kCapCpl0, 4117)                                                           \
  X(kCapCr0, 4118)                                                            \
  X(kCapCpm0, 4119)                                                           \
  X(kCapK, 4120)                                                              \
  X(kCapBasedOn, 4121)                                                        \
  X(kCapSigmaUnit, 4122)                                                      \
  X(kCapUsl, 4133)                                                            \
  X(kCapNominal, 4134)                                                        \
  X(kCapLsl, 4135)                                                            \
  X(kCapUpperPercentile, 4158)                                                \
  X(kCapMedianPercentile, 4159)                                               \
  X(kCapLowerPercentile, 4160)                                                \
  X(kCapConfidence, 11178) /* %s: confidence level of the intervals */        \
  X(kCapSaysNormal, 8076)                                                     \
  X(kCapSaysExponential, 8077)                                                \
  X(kCapSaysExtreme, 8078)                                                    \
  X(kCapSaysLognormal, 8079)                                                  \
  X(kCapSaysWeibull, 8080)                                                    \
  X(kCapSaysGamma, 10855)                                                     \
  X(kCapSaysLogistic, 10856)                                                  \
  X(kCapSaysLaplace, 10857)                                                   \
  X(kCapCpBelow1, 8094)                                                       \
  X(kCapCpBelow133, 8095)                                                     \
  X(kCapCpBelow2, 8096)                                                       \
  X(kCapCpAbove2, 8097)                                                       \
  X(kCapCpkSays0, 8098)                                                       \
  X(kCapCpkSays1, 8099)                                                       \
  X(kCapOffCentre, 8100)                                                      \
  X(kCapKSays1, 8101)                                                         \
  X(kCapKSays2, 8102)                                                         \
  X(kCapKSays3, 8103)                                                         \
  X(kCapKAbove, 8104)                                                         \
  X(kCapKBelow, 8105)                                                         \
  X(kCapIntervals1, 8106)                                                     \
  X(kCapIntervals2, 8107)                                                     \
  X(kCapSummaryTitle, 45001)                                                  \
  X(kCapIndicesTitle, 45002)                                                  \
  X(kCapPearsonTitle, 45006)                                                  \
  X(kCapRoleData, 45010)                                                      \
  X(kCapRoleUsl, 45011)                                                       \
  X(kCapRoleNominal, 45012)                                                   \
  X(kCapRoleLsl, 45013)                                                       \
  X(kCapRoleSubgroup, 45014)                                                  \
  X(kCapRoleColumn, 45015)                                                    \
  X(kCapOptDistribution, 45020)                                               \
  X(kCapOptUseMultiple, 45021)                                                \
  X(kCapOptMultiple, 45022)                                                   \
  X(kCapOptKeep, 45023)                                                       \
  X(kCapOptParam1, 45024)                                                     \
  X(kCapOptParam2, 45025)                                                     \
  X(kCapOptConfidence, 45026)                                                 \
  X(kCapOptShowRow, 45027) /* show or hide an index row */                    \
  X(kCapOptLabelSet, 45028)                                                   \
  X(kCapBadMultiple, 45029)                                                   \
  X(kCapBadParameter, 45030)                                                  \
  X(kCapBadDistribution, 45031)                                               \
  X(kCapNonFinite, 45032)                                                     \
  X(kCapExpNegative, 45034)                                                   \
  X(kCapSaysRestOn, 45035)                                                    \
  ZTQ_CAPABLE_STRINGS2(X)

// Panes 3, 4, 5 and 7: tests for normality, goodness of fit, tolerance limits.
#define ZTQ_CAPABLE_STRINGS2(X)  \
  X(kCapChi2TooFew, 3612)        \
  X(kCapChi2Equi, 3613)          \
  X(kCapShapiro, 3614)           \
  X(kCapShapiroTooMany, 3615)    \
  X(kCapShapiroFailed, 3616)     \
  X(kCapSkewZ, 3617)             \
  X(kCapSkewTooFew, 3618)        \
  X(kCapKurtZ, 3619)             \
  X(kCapKurtTooFew, 3620)        \
  X(kCapPValue, 3122)            \
  X(kCapGofLower, 3622)          \
  X(kCapGofUpper, 3623)          \
  X(kCapGofObserved, 3624)       \
  X(kCapGofExpected, 3625)       \
  X(kCapGofBelow, 3626)          \
  X(kCapGofAbove, 3627)          \
  X(kCapGofChi2, 3628)           \
  X(kCapGofDf, 3629)             \
  X(kCapGofTooFew, 3630)         \
  X(kCapKsPlus, 3631)            \
  X(kCapKsMinus, 3632)           \
  X(kCapKsD, 3633)               \
  X(kCapKsP, 3634)               \
  X(kCapTolK2, 4128)             \
  X(kCapTolK1, 4129)             \
  X(kCapTolCoverage, 4138)       \
  X(kCapTolConfidence, 4139)     \
  X(kCapTolUpper, 4140)          \
  X(kCapTolLower, 4141)          \
  X(kCapTolOrder, 4143)          \
  X(kCapTolRemoved, 4144)        \
  X(kCapTolNoOrder, 4145)        \
  X(kCapNormalityTitle, 49003)   \
  X(kCapGofTitle, 49004)         \
  X(kCapTolNormalTitle, 49005)   \
  X(kCapTolFreeTitle, 49007)     \
  X(kCapChi2Classes, 49011)      \
  X(kCapGofIqrZero, 49012)       \
  X(kCapGofClassCount, 49013)    \
  X(kCapGofContribution, 49014)  \
  X(kCapBadClasses, 49015)       \
  X(kCapBadPercent, 49016)       \
  X(kCapOptClassRule, 49017)     \
  X(kCapOptClassCount, 49018)    \
  X(kCapOptNpMode, 49019)        \
  X(kCapOptNpOrder, 49020)       \
  X(kCapOptNpConfidence, 49021)  \
  X(kCapOptNpCoverage, 49022)    \
  X(kCapOptTolConfidence, 49023) \
  X(kCapOptTolCoverage, 49024)   \
  X(kCapPlotTitle, 49008)        \
  X(kCapProbTitle, 49009)        \
  X(kCapFrequency, 2908)         \
  X(kCapFittedQuantile, 49025)   \
  X(kCapOrdered, 49026)          \
  X(kCapDensity, 49027)          \
  X(kCapObservations, 49028)
