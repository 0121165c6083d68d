// The text panes of the T-squared chart: the summary (pane 1) and the two
// T-squared listings (panes 2 and 3).
#include <algorithm>
#include <cstdio>

#include "bridge/strings.h"
#include "format/numfmt.h"
#include "multivariate/mv_family.h"
#include "multivariate/mv_strings.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

constexpr const char* kEol = "\r\n";
constexpr int kField = 20;               // width of T-squared and of each value
constexpr size_t kLabelColumn = 28;      // where the summary's values start
constexpr size_t kListingLimit = 59952;  // a listing stops once its text exceeds this

std::string general(double v) {
  if (is_missing(v)) return {};
  return format_sig(v, kField, 6);
}

std::string right(const std::string& s, size_t w) {
  if (s.size() >= w) return s.substr(0, w);
  return std::string(w - s.size(), ' ') + s;
}

std::string summary_line(Str label, const std::string& value) {
  std::string s = text(label);
  if (s.size() < kLabelColumn) s.resize(kLabelColumn, ' ');
  return s + value + kEol;
}

std::string trimmed_right(const std::string& s) {
  const size_t e = s.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

}  // namespace

std::string mv_summary_text(const MvView& v) {
  std::string out = text(mvs::kSummaryTitle) + kEol + kEol;
  if (!v.fine()) {
    if (v.error_message != 0) out += text(static_cast<Str>(v.error_message)) + kEol;
    return out;
  }
  const MvState& s = *v.state;
  const MvResults& r = s.results;
  out += text(mvs::kVariables) + kEol;
  for (const std::string& name : s.names) out += "  " + name + kEol;
  out += kEol;
  out +=
      summary_line(mvs::kMeans, text(r.means_given ? mvs::kMeansStandard : mvs::kMeansEstimated));
  out += summary_line(mvs::kCovariance, !r.covariance_given ? text(mvs::kCovarianceEstimated)
                                        : v.known_n == 0
                                            ? text(mvs::kCovarianceKnown)
                                            : text_with(mvs::kCovarianceFromN, v.known_n));
  out += summary_line(mvs::kUsed, std::to_string(r.n));
  out += summary_line(mvs::kExcluded, std::to_string(r.excluded_count));
  const auto incomplete = std::count(r.complete.begin(), r.complete.end(), uint8_t{0});
  if (incomplete > 0) out += summary_line(mvs::kIncomplete, std::to_string(incomplete));
  out += summary_line(mvs::kUcl, general(r.ucl));
  out += summary_line(mvs::kAlpha, general(v.alpha_percent / 100.0));
  out += summary_line(mvs::kBeyond, std::to_string(r.beyond_count));
  return out;
}

std::string mv_listing_text(const MvView& v, bool by_label) {
  std::string out = text(by_label ? mvs::kPaneByLabel : mvs::kPaneByNumber) + kEol + kEol;
  if (!v.fine()) return out + text(Str::kNoResults) + kEol;
  const MvState& s = *v.state;
  const MvResults& r = s.results;
  out += text(mvs::kListTitle) + kEol;
  out += text(mvs::kListAlpha) + " " + general(v.alpha_percent / 100.0) + "   " +
         text(mvs::kListUcl) + " " + general(r.ucl) + kEol;
  std::string head = text(by_label ? mvs::kHeadLabel : mvs::kHeadPoint);
  head.resize(by_label ? kMvLabelWidth + 2 : 18, ' ');
  head += right(text(mvs::kHeadT2), kField);
  if (v.show_values)
    for (const std::string& name : s.names) head += right(name, kField);
  out += trimmed_right(head) + kEol;
  const size_t values = v.show_values ? s.names.size() : 0;
  out += std::string(38 + 20 * values, '-') + kEol;
  bool cut = false;
  for (int32_t i = 0; i < r.points && !cut; ++i) {
    if (!r.complete[static_cast<size_t>(i)]) continue;
    std::string line;
    if (by_label) {
      line = s.labels[static_cast<size_t>(i)];
    } else {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%-16d", i + 1);
      line = buf;
    }
    line += r.excluded[static_cast<size_t>(i)] ? 'X' : r.beyond[static_cast<size_t>(i)] ? '*' : ' ';
    line += ' ';
    line += right(general(r.t2[static_cast<size_t>(i)]), kField);
    for (size_t j = 0; j < values; ++j)
      line += right(general(s.input.columns[j][static_cast<size_t>(i)]), kField);
    out += line + kEol;
    if (out.size() > kListingLimit) {
      out += text(mvs::kCut) + kEol;
      cut = true;
    }
  }
  // Which variable moved: the largest unconditional term of each signal.
  if (by_label && !cut && !r.signal_points.empty()) {
    out += kEol + text(mvs::kMovedTitle) + kEol;
    for (size_t k = 0; k < r.signal_points.size(); ++k) {
      const int32_t i = r.signal_points[k];
      const auto c = r.contributions_of(i);
      size_t best = 0;
      for (size_t j = 1; j < c.size(); ++j)
        if (!is_missing(c[j]) && (is_missing(c[best]) || c[j] > c[best])) best = j;
      std::string line = trimmed_right(s.labels[static_cast<size_t>(i)]);
      line += ": " + text_with(mvs::kMovedLine, s.names[best]) + " (" + general(c[best]) + ")";
      out += line + kEol;
      if (out.size() > kListingLimit) {
        out += text(mvs::kCut) + kEol;
        break;
      }
    }
  }
  return out;
}

}  // namespace ztq
