// Every string number the module asks the string table for. Code names a
// string only through Str, so this list is complete by construction, and a
// test checks that the table holds each number.
#pragma once

#include <cstdint>
#include <string>

#include "capability/capable_strings.h"
#include "charts/chart_graph_strings.h"

#define ZTQ_STRINGS(X)                                                                  \
  ZTQ_CAPABLE_STRINGS(X)                                                                \
  ZTQ_CHART_GRAPH_STRINGS(X)                                                            \
  X(kAppTitle, 57344)         /* the application title */                               \
  X(kAskReplaceColumns, 902)  /* columns of these names exist already: replace them? */ \
  X(kNoMemory, 1001)          /* memory could not be allocated */                       \
  X(kNoHelpTopic, 1003)       /* no help topic for this dialog */                       \
  X(kErrNoDataBlock, 1004)    /* error state: a data block could not be allocated */    \
  X(kEmptyVariable, 1009)     /* a variable expression is empty */                      \
  X(kErrLoadVariable, 1010)   /* error state: a variable could not be loaded */         \
  X(kInvalidColumnName, 1017) /* not a valid name for a new column */                   \
  X(kRequiredMissing, 1019)   /* %d: a required variable is missing */                  \
  X(kCharacterVariable, 1022) /* %d: character variable where numbers are needed */     \
  X(kErrVariableCheck, 1025)  /* error state: the variables failed their check */       \
  X(kBadSelection, 1026)      /* the selection variable could not be loaded */          \
  X(kBadAuxiliary1, 1027)     /* the first auxiliary variable could not be loaded */    \
  X(kBadAuxiliary2, 1028)     /* the second auxiliary variable could not be loaded */   \
  X(kBlankExpression, 1035)   /* an expression text is blank */                         \
  X(kNoPaneOptions, 1100)     /* this pane has no options */                            \
  X(kCannotEvaluate, 1184)    /* %s: the expression could not be evaluated */           \
  X(kErrReserved, 1005)       /* error state 1 */                                       \
  X(kErrNoValidData, 1007)    /* error state 3: no valid data */                        \
  X(kTooManyClasses, 1051)    /* more than 20 classes for a chart */                    \
  X(kNoResults, 1101)         /* a pane of an analysis in error */                      \
  X(kParetoTitle, 1946)       /* Pareto window title */                                 \
  X(kParetoSummary, 1947)     /* Pareto summary pane title */                           \
  X(kAxisFrequency, 2908)     /* value axis title: frequency */                         \
  X(kDefaultClassLabel, 2910) /* %d: default class label */                             \
  X(kLabelVariable, 3001)     /* before the main variable's expression */               \
  X(kLabelSelection, 3002)    /* before the selection expression */                     \
  X(kLabelWeights, 3007)      /* before the weights expression */                       \
  X(kParetoRest, 4001)        /* label of the folded class */                           \
  X(kParetoTotalCount, 4002)  /* summary: total count */                                \
  X(kParetoTotalScore, 4003)  /* summary: total score */                                \
  X(kParetoClassCount, 4004)  /* %d: summary: number of classes */                      \
  X(kParetoTableTitle, 4005)  /* frequency table title */                               \
  X(kParetoRule, 4006)        /* frequency table rule line */                           \
  X(kParetoHeading1, 4007)    /* frequency table heading, line 1 */                     \
  X(kParetoHeading2, 4008)    /* frequency table heading, line 2 */                     \
  X(kParetoTotal, 4009)       /* frequency table footer label */                        \
  X(kParetoChartTitle, 4010)  /* Pareto chart title */                                  \
  X(kParetoRoleRaw, 4011)     /* role label: raw data */                                \
  X(kParetoRoleCounts, 4012)  /* role label: counts */                                  \
  X(kParetoRoleLabels, 4013)  /* role label: labels */                                  \
  X(kParetoRoleWeights, 4014) /* role label: weights */                                 \
  X(kParetoCombine, 4015)     /* option label: combine rule */                          \
  X(kParetoScoreMin, 4016)    /* option label: score threshold */                       \
  X(kParetoPercentMin, 4017)  /* option label: percent threshold */                     \
  X(kParetoFoldLast, 4018)    /* option label: classes to fold */                       \
  X(kParetoBarLabel, 4019)    /* option label: bar labels */                            \
  X(kParetoCumTitle, 4020)    /* pane 9 title: cumulative chart */                      \
  /* the control charts (Vchart family): messages, pane texts, option labels */         \
  X(kVcNegativeStatistic, 1063)                                                         \
  X(kVcCountNotWhole, 1091)                                                             \
  X(kVcGapNeighbours, 1092)                                                             \
  X(kVcSizeBelowTwo, 1171)                                                              \
  X(kVcSizeAboveTable, 1172)                                                            \
  X(kVcProportionAboveOne, 1174)                                                        \
  X(kVcCountAboveSize, 1176)                                                            \
  X(kVcNoRawData, 1187)                                                                 \
  X(kVcNoSpread, 1189)                                                                  \
  X(kVcPhaseBreaks, 1258)                                                               \
  X(kVcSigmaMultiple, 1270)                                                             \
  X(kVcSpan, 1271)                                                                      \
  X(kVcWeight, 1272)                                                                    \
  X(kVcRunsRule, 1273)                                                                  \
  X(kVcStandardMissing, 1274)                                                           \
  X(kVcTrendMissing, 1275)                                                              \
  X(kVcReferencePoint, 1276)                                                            \
  X(kVcModelOrders, 1277)                                                               \
  X(kVcModelTooShort, 1278)                                                             \
  X(kVcDecisionInterval, 1279)                                                          \
  X(kVcNoModelRules, 10926)                                                             \
  X(kVcNoModelCapability, 10929)                                                        \
  X(kVcTitle, 5100)                                                                     \
  X(kVcChart0, 5101)                                                                    \
  X(kVcChart1, 5102)                                                                    \
  X(kVcChart2, 5103)                                                                    \
  X(kVcChart3, 5104)                                                                    \
  X(kVcChart4, 5105)                                                                    \
  X(kVcChart5, 5106)                                                                    \
  X(kVcChart6, 5107)                                                                    \
  X(kVcChart7, 5108)                                                                    \
  X(kVcChart8, 5109)                                                                    \
  X(kVcChart9, 5110)                                                                    \
  X(kVcChart10, 5111)                                                                   \
  X(kVcChart11, 5112)                                                                   \
  X(kVcChart12, 5113)                                                                   \
  X(kVcChart13, 5114)                                                                   \
  X(kVcChart14, 5115)                                                                   \
  X(kVcChart15, 5116)                                                                   \
  X(kVcChart16, 5117)                                                                   \
  X(kVcChart17, 5118)                                                                   \
  X(kVcChart18, 5119)                                                                   \
  X(kVcChart19, 5120)                                                                   \
  X(kVcChart20, 5121)                                                                   \
  X(kVcChart21, 5122)                                                                   \
  X(kVcFromData, 5130)                                                                  \
  X(kVcFromStandard, 5131)                                                              \
  X(kVcPointsUsed, 5132)                                                                \
  X(kVcObservationsUsed, 5133)                                                          \
  X(kVcAverageSize, 5134)                                                               \
  X(kVcAverageSample, 5135)                                                             \
  X(kVcObservationCount, 5136)                                                          \
  X(kVcMarked1, 5137)                                                                   \
  X(kVcMarked2, 5138)                                                                   \
  X(kVcExcludedCount, 5139)                                                             \
  X(kVcLimitsHeading, 5140)                                                             \
  X(kVcRowUcl1, 5141)                                                                   \
  X(kVcRowCl1, 5142)                                                                    \
  X(kVcRowLcl1, 5143)                                                                   \
  X(kVcRowUcl2, 5144)                                                                   \
  X(kVcRowCl2, 5145)                                                                    \
  X(kVcRowLcl2, 5146)                                                                   \
  X(kVcRowSigma, 5147)                                                                  \
  X(kVcRowDispersion, 5148)                                                             \
  X(kVcRowNbar, 5149)                                                                   \
  X(kVcRowCentre, 5150)                                                                 \
  X(kVcRowStdCentre, 5151)                                                              \
  X(kVcRowStdSigma, 5152)                                                               \
  X(kVcTrendIntercept, 5153)                                                            \
  X(kVcTrendSlope, 5154)                                                                \
  X(kVcUsl, 5155)                                                                       \
  X(kVcLsl, 5156)                                                                       \
  X(kVcDecisionH, 5157)                                                                 \
  X(kVcReferenceK, 5158)                                                                \
  X(kVcHeadstart, 5159)                                                                 \
  X(kVcTargetCentre, 5160)                                                              \
  X(kVcDelta, 5161)                                                                     \
  X(kVcAlpha, 5162)                                                                     \
  X(kVcListTitle, 5165)                                                                 \
  X(kVcListHeadSize, 5166)                                                              \
  X(kVcListHead, 5167)                                                                  \
  X(kVcListHeadAttr, 5168)                                                              \
  X(kVcListHeadC, 5169)                                                                 \
  X(kVcRulesTitle, 5170)                                                                \
  X(kVcRulesHead1, 5171)                                                                \
  X(kVcRulesHead2, 5172)                                                                \
  X(kVcRule1, 5173)                                                                     \
  X(kVcRule2, 5174)                                                                     \
  X(kVcRule3, 5175)                                                                     \
  X(kVcRule4, 5176)                                                                     \
  X(kVcRule5, 5177)                                                                     \
  X(kVcRule6, 5178)                                                                     \
  X(kVcRule3i, 5179)                                                                    \
  X(kVcRule4i, 5180)                                                                    \
  X(kVcRule5i, 5181)                                                                    \
  X(kVcRule6i, 5182)                                                                    \
  X(kVcSigmaWord, 5183)                                                                 \
  X(kVcFlaggedHead1, 5184)                                                              \
  X(kVcFlaggedHead2, 5185)                                                              \
  X(kVcFlaggedColumns, 5186)                                                            \
  X(kVcCapTitle, 5190)                                                                  \
  X(kVcCapHeading, 5191)                                                                \
  X(kVcCapUsl, 5192)                                                                    \
  X(kVcCapTarget, 5193)                                                                 \
  X(kVcCapLsl, 5194)                                                                    \
  X(kVcCapCp, 5195)                                                                     \
  X(kVcCapCpk, 5196)                                                                    \
  X(kVcCapCpu, 5197)                                                                    \
  X(kVcCapCpl, 5198)                                                                    \
  X(kVcCapCr, 5199)                                                                     \
  X(kVcCapCpm, 5200)                                                                    \
  X(kVcCapK, 5201)                                                                      \
  X(kVcCapNote, 5202)                                                                   \
  X(kVcUclLabel, 5205)                                                                  \
  X(kVcClLabel, 5206)                                                                   \
  X(kVcLclLabel, 5207)                                                                  \
  X(kVcAxisPoint, 5208)                                                                 \
  X(kGrBeyondLimits, 43000)  /* legend: beyond the limits */                            \
  X(kGrRunsRule, 43001)      /* legend: runs rule only */                               \
  X(kGrExcluded, 43002)      /* legend: excluded */                                     \
  X(kGrPhaseFrom, 43003)     /* %s: phase divider label */                              \
  X(kGrNoPoints, 43004)      /* note: no point to draw */                               \
  X(kGrCumPercent, 43005)    /* Pareto: percent axis title */                           \
  X(kGrPaneZones, 43006)     /* pane option: zone lines */                              \
  X(kGrPaneReference, 43007) /* pane option: 80 % line */                               \
  X(kGrNoSpecLimits, 43008)  /* note: no specification limits */                        \
  X(kGrEightyPercent, 43009) /* Pareto: label of the 80 % line */                       \
  X(kGrMovingAverage, 43010) /* %s: legend of a moving-average line (its span) */       \
  X(kGrEwma, 43011)          /* %s: legend of an EWMA line (its weight) */              \
  X(kVcStatMean, 5210)                                                                  \
  X(kVcStatRange, 5211)                                                                 \
  X(kVcStatSd, 5212)                                                                    \
  X(kVcStatVariance, 5213)                                                              \
  X(kVcStatIndividual, 5214)                                                            \
  X(kVcStatMovingRange, 5215)                                                           \
  X(kVcStatP, 5216)                                                                     \
  X(kVcStatNp, 5217)                                                                    \
  X(kVcStatU, 5218)                                                                     \
  X(kVcStatC, 5219)                                                                     \
  X(kVcStatMa, 5220)                                                                    \
  X(kVcStatEwma, 5221)                                                                  \
  X(kVcStatCusum, 5222)                                                                 \
  X(kVcStatDecision, 5223)                                                              \
  X(kVcStatModel, 5224)                                                                 \
  X(kVcRoleData, 5240)                                                                  \
  X(kVcRoleSubgroup, 5241)                                                              \
  X(kVcRoleSize, 5242)                                                                  \
  X(kVcRoleDispersion, 5243)                                                            \
  X(kVcSaveStat1, 5250)                                                                 \
  X(kVcSaveStat2, 5251)                                                                 \
  X(kVcSaveSize, 5252)                                                                  \
  X(kVcSaveLabels, 5253)                                                                \
  X(kVcSaveCentre, 5254)                                                                \
  X(kVcSaveSigma, 5255)                                                                 \
  X(kVcSaveIncluded, 5256)                                                              \
  X(kVcSaveCentreLine, 5257)                                                            \
  X(kVcSaveMa, 5258)                                                                    \
  X(kVcSaveEwma, 5259)                                                                  \
  X(kVcSaveCusum, 5260)                                                                 \
  X(kVcSaveMr, 5261)                                                                    \
  X(kVcSaveP, 5262)                                                                     \
  X(kVcSaveNp, 5263)                                                                    \
  X(kVcSaveU, 5264)                                                                     \
  X(kVcSaveC, 5265)                                                                     \
  X(kVcSaveSampleSize, 5266)                                                            \
  X(kVcSavePbar, 5267)                                                                  \
  X(kVcSaveNpbar, 5268)                                                                 \
  X(kVcSaveUbar, 5269)                                                                  \
  X(kVcSaveCbar, 5270)                                                                  \
  X(kVcSaveAttrSigma, 5271)                                                             \
  X(kVcPaneListWhich, 5280)                                                             \
  X(kVcPaneClasses, 5281)                                                               \
  X(kVcNoCurveYet, 5282)                                                                \
  X(kVcOpt0, 5300)                                                                      \
  X(kVcOpt1, 5301)                                                                      \
  X(kVcOpt2, 5302)                                                                      \
  X(kVcOpt4, 5304)                                                                      \
  X(kVcOpt10, 5310)                                                                     \
  X(kVcOpt11, 5311)                                                                     \
  X(kVcOpt12, 5312)                                                                     \
  X(kVcOpt13, 5313)                                                                     \
  X(kVcOpt14, 5314)                                                                     \
  X(kVcOpt15, 5315)                                                                     \
  X(kVcOpt16, 5316)                                                                     \
  X(kVcOpt17, 5317)                                                                     \
  X(kVcOpt18, 5318)                                                                     \
  X(kVcOpt19, 5319)                                                                     \
  X(kVcOpt20, 5320)                                                                     \
  X(kVcOpt21, 5321)                                                                     \
  X(kVcOpt22, 5322)                                                                     \
  X(kVcOpt23, 5323)                                                                     \
  X(kVcOpt24, 5324)                                                                     \
  X(kVcOpt25, 5325)                                                                     \
  X(kVcOpt26, 5326)                                                                     \
  X(kVcOpt27, 5327)                                                                     \
  X(kVcOpt28, 5328)                                                                     \
  X(kVcOpt29, 5329)                                                                     \
  X(kVcOpt30, 5330)                                                                     \
  X(kVcOpt33, 5333)                                                                     \
  X(kVcOpt34, 5334)                                                                     \
  X(kVcOpt35, 5335)                                                                     \
  X(kVcOpt43, 5343)                                                                     \
  X(kVcOpt44, 5344)                                                                     \
  X(kVcOpt45, 5345)                                                                     \
  X(kVcOpt51, 5351)                                                                     \
  X(kVcOpt53, 5353)                                                                     \
  X(kVcOpt54, 5354)                                                                     \
  X(kVcOpt55, 5355)                                                                     \
  X(kVcOpt56, 5356)                                                                     \
  X(kVcOpt57, 5357)                                                                     \
  X(kVcOpt58, 5358)                                                                     \
  X(kVcOpt66, 5366)                                                                     \
  X(kVcOpt67, 5367)                                                                     \
  X(kVcOpt68, 5368)                                                                     \
  X(kVcOpt69, 5369)                                                                     \
  X(kVcOpt70, 5370)                                                                     \
  X(kVcOpt73, 5373)                                                                     \
  X(kVcDopt0, 5400)                                                                     \
  X(kVcDopt1, 5401)                                                                     \
  X(kVcDopt2, 5402)                                                                     \
  X(kVcDopt3, 5403)                                                                     \
  X(kVcDopt4, 5404)                                                                     \
  X(kVcDopt5, 5405)                                                                     \
  X(kVcDopt6, 5406)                                                                     \
  X(kVcDopt7, 5407)                                                                     \
  X(kVcDopt8, 5408)                                                                     \
  X(kVcDopt9, 5409)                                                                     \
  X(kVcDopt10, 5410)                                                                    \
  X(kVcDopt11, 5411)                                                                    \
  X(kVcDopt12, 5412)                                                                    \
  X(kVcDopt13, 5413)                                                                    \
  X(kVcDopt14, 5414)                                                                    \
  X(kVcDopt15, 5415)                                                                    \
  X(kVcDopt16, 5416)                                                                    \
  X(kVcDopt17, 5417)                                                                    \
  X(kVcDopt18, 5418)                                                                    \
  X(kVcDopt21, 5421)                                                                    \
  X(kVcDopt31, 5431)                                                                    \
  X(kVcDopt37, 5437)                                                                    \
  X(kVcDopt38, 5438)                                                                    \
  X(kVcDopt39, 5439)                                                                    \
  X(kVcDopt40, 5440)                                                                    \
  X(kVcDopt41, 5441)                                                                    \
  X(kVcDopt42, 5442)                                                                    \
  X(kVcDopt53, 5453)                                                                    \
  X(kVcDopt54, 5454)                                                                    \
  X(kVcDopt55, 5455)                                                                    \
  X(kVcDopt57, 5457)                                                                    \
  X(kVcGroupRules, 40000)     /* option group: runs-rule preset */                      \
  X(kVcGroupPhases, 40001)    /* option group: phase break points */                    \
  X(kVcGroupSigmaK, 40002)    /* option group: sigma multiple of every limit */         \
  X(kVcRoleLabel, 40003)      /* role label: point labels */                            \
  X(kVcSaveUcl1, 40004)       /* saved extra: upper limits, chart 1 */                  \
  X(kVcSaveLcl1, 40005)       /* saved extra: lower limits, chart 1 */                  \
  X(kVcSaveUcl2, 40006)       /* saved extra: upper limits, chart 2 */                  \
  X(kVcSaveLcl2, 40007)       /* saved extra: lower limits, chart 2 */                  \
  X(kVcSaveFlags, 40008)      /* saved extra: runs-rule flag word */                    \
  X(kVcSaveMean, 40009)       /* saved series: subgroup means */                        \
  X(kVcSaveIndividual, 40010) /* saved series: individual values */                     \
  X(kVcSaveRange, 40011)      /* saved series: subgroup ranges */                       \
  X(kVcSaveStdDev, 40012)     /* saved series: subgroup SDs */                          \
  X(kVcSaveVariance, 40013)   /* saved series: subgroup variances */                    \
  X(kVcRoleDataMore, 40014)   /* role label: a further data column */                   \
  /* the control charts: graph panes G, R0, R1, Rc, M1, M2 and T2z, pane options */     \
  X(kVcHistTitle, 5500)                                                                 \
  X(kVcUslShort, 5501)                                                                  \
  X(kVcTargetShort, 5502)                                                               \
  X(kVcLslShort, 5503)                                                                  \
  X(kVcNormalCurve, 5504)                                                               \
  X(kVcOcTitle, 5505)                                                                   \
  X(kVcArlTitle, 5506)                                                                  \
  X(kVcCusumArlTitle, 5507)                                                             \
  X(kVcAxisTrueValue, 5508)                                                             \
  X(kVcAxisTrueShift, 5509)                                                             \
  X(kVcAxisInside, 5510)                                                                \
  X(kVcAxisRunLength, 5511)                                                             \
  X(kVcAxisShiftSe, 5512)                                                               \
  X(kVcInControlArl, 5513)                                                              \
  X(kVcNoRunLength, 5514)                                                               \
  X(kVcResidualTitle, 5515)                                                             \
  X(kVcAxisResidual, 5516)                                                              \
  X(kVcAcfTitle, 5517)                                                                  \
  X(kVcAxisLag, 5518)                                                                   \
  X(kVcAxisAcf, 5519)                                                                   \
  X(kVcAcfBound, 5520)                                                                  \
  X(kVcVmask, 5521)                                                                     \
  X(kVcOutsideMask, 5522)                                                               \
  X(kVcUpperSum, 5523)                                                                  \
  X(kVcLowerSum, 5524)                                                                  \
  X(kVcDecisionLine, 5525)                                                              \
  X(kVcScaleSums, 5526)                                                                 \
  X(kVcSumsTitle, 5527)                                                                 \
  X(kVcSumsPoint, 5528)                                                                 \
  X(kVcSumsValue, 5529)                                                                 \
  X(kVcSumsUpper, 5530)                                                                 \
  X(kVcSumsLower, 5531)                                                                 \
  X(kVcSumsRun, 5532)                                                                   \
  X(kVcSumsScaleUpper, 5533)                                                            \
  X(kVcSumsScaleLower, 5534)                                                            \
  X(kVcPaneListWhichAttr, 5535)                                                         \
  X(kVcPaneRange, 5536)                                                                 \
  X(kVcPanePoints, 5537)                                                                \
  X(kVcPaneShifts, 5538)                                                                \
  X(kVcPaneLags, 5539)                                                                  \
  X(kVcPane10, 5540)                                                                    \
  X(kVcPane11, 5541)                                                                    \
  X(kVcPane12, 5542)

namespace ztq {

enum class Str : int32_t {
#define ZTQ_STR_ENUM(name, number) name = number,
  ZTQ_STRINGS(ZTQ_STR_ENUM)
#undef ZTQ_STR_ENUM
};

inline constexpr int32_t kAllStringNumbers[] = {
#define ZTQ_STR_NUMBER(name, number) number,
    ZTQ_STRINGS(ZTQ_STR_NUMBER)
#undef ZTQ_STR_NUMBER
};

// The text of a string number from the module's string table ("" when absent).
const std::string& text(Str id);
// The message of a procedure's small error states: 1, 2 and 3 stand for 1005
// (reserved), 1004 (no memory for the results) and 1007 (no valid data); any
// other state is itself a message number.
int32_t message_of_error_state(int32_t error_state);

// The text of a string used as a printf format with one integer or one text.
std::string text_with(Str id, int value);
std::string text_with(Str id, const std::string& value);

}  // namespace ztq
