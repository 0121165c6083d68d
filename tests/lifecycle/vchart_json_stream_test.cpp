// The control-chart results written as they are formed (QualResultsJsonWrite)
// against the same results gathered in one text (QualResultsJson): the same
// bytes for every kind of chart, and without the per-point series on request.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet_session.h"
#include "ztqualty_procedures.h"

namespace ztq {
namespace {

class VchartJsonStream : public testing::SheetSession {
 protected:
  void SetUp() override {
    SheetSession::SetUp();
    std::vector<double> x, day;  // 40 values of a saw-tooth with a step at 30
    for (int i = 0; i < 40; ++i) {
      x.push_back(10.0 + (i % 4) + (i % 2) * 0.5 + (i >= 30 ? 3 : 0));
      day.push_back(101 + i);
    }
    use_sheet(qualty::DataSheet::from_columns({numeric("X", x), numeric("Day", day)}));
  }
  int32_t start(int code) {
    answers = {{"data", "X"}, {"label", "Day"}};
    ctx.row_count = static_cast<int32_t>(sheet.row_count());
    if (VchartDialog(0, &ctx, 0, code, 0, 0) == 0) return -1;
    VchartSetup(0, &record, nullptr, setup_text, 0, code);
    return VchartBegin(0, code, 1);
  }
  // The whole outcome text: {"error", "error_text", "results", "violations"}.
  std::string gathered() {
    std::string out(1 << 20, '\0');
    const int32_t n = QualResultsJson(&record, out.data(), static_cast<int32_t>(out.size()));
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
  }
  std::string streamed(int32_t flags) {
    std::string out;
    const auto take = [](void* c, const char* b, int32_t n) -> int32_t {
      static_cast<std::string*>(c)->append(b, static_cast<size_t>(n));
      return 1;
    };
    EXPECT_EQ(QualResultsJsonWrite(&record, flags, take, &out), 1);
    return out;
  }
};

TEST_F(VchartJsonStream, SameBytesAsTheGatheredText) {
  // Individuals, moving average, EWMA, cusum, decision-interval sums, model:
  // every member kind (series with labels, smoothers, cusum, tabular, model).
  for (int code : {3, 8, 9, 10, 15, 17}) {
    ASSERT_EQ(start(code), 1) << code;
    const std::string whole = gathered();
    ASSERT_NE(whole.find("\"label\":[\"101\",\"102\","), std::string::npos) << code;
    const std::string results = streamed(0), violations = streamed(ZTQ_JSON_VIOLATIONS);
    const std::size_t at = whole.find(",\"results\":");
    ASSERT_NE(at, std::string::npos) << code;
    EXPECT_EQ(whole.substr(at), ",\"results\":" + results + ",\"violations\":" + violations + "}")
        << code;
    QualReleaseRecord(&record);
    record = AnalysisRecord{};
  }
}

TEST_F(VchartJsonStream, NoSeriesKeepsTheSummaryOnly) {
  ASSERT_EQ(start(15), 1);
  const std::string s = streamed(ZTQ_JSON_NO_SERIES);
  for (const char* gone : {"\"series\"", "\"label\"", "\"sh1\"", "\"z\"", "\"flags\""})
    EXPECT_EQ(s.find(gone), std::string::npos) << gone << "\n" << s;
  for (const char* kept : {"\"chart\":15", "\"points\":40", "\"limits\":{", "\"phases\":[",
                           "\"capability\":{", "\"tabular\":{\"decision2\":"})
    EXPECT_NE(s.find(kept), std::string::npos) << kept << "\n" << s;
  EXPECT_EQ(s.front(), '{');
  EXPECT_EQ(s.back(), '}');
}

TEST_F(VchartJsonStream, RefusedWriteFailsTheExport) {
  ASSERT_EQ(start(3), 1);
  const auto refuse = [](void*, const char*, int32_t) -> int32_t { return 0; };
  EXPECT_EQ(QualResultsJsonWrite(&record, 0, refuse, nullptr), 0);
  EXPECT_EQ(QualResultsJsonWrite(nullptr, 0, refuse, nullptr), -1);
}

}  // namespace
}  // namespace ztq
