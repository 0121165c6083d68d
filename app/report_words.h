// Resource numbers of the report's own words (resources/qualres.txt).
#pragma once

namespace qualty {

constexpr int kWordReportTitle = 48000;  // the title when none is given
constexpr int kWordContents = 48001;
constexpr int kWordCreated = 48002;  // "Created", before the date and time
constexpr int kWordProgram = 48003;  // "Program", before the name and version
constexpr int kWordProcedure = 48004;
constexpr int kWordAnalysisFile = 48005;
constexpr int kWordDataFile = 48006;
constexpr int kWordDataSize = 48007;
constexpr int kWordChecksum = 48008;
constexpr int kWordVariables = 48009;
constexpr int kWordRole = 48010;
constexpr int kWordExpression = 48011;
constexpr int kWordOptions = 48012;
constexpr int kWordViolations = 48013;
constexpr int kWordNoViolations = 48014;
constexpr int kWordPane = 48015;  // "Pane %d"
constexpr int kWordPaneText = 48016;
constexpr int kWordInterpretation = 48017;
constexpr int kWordNotReopened = 48018;  // "This analysis could not be reopened: %s"

}  // namespace qualty
