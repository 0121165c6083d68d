#include "pareto/pareto_panes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bridge/strings.h"
#include "format/numfmt.h"

namespace ztq {

namespace {

constexpr const char* kEol = "\r\n";
constexpr int kColumn = 10;  // width of each number column of the table

std::string error_message(int32_t error_state) {
  return text(static_cast<Str>(pareto_error_message(error_state)));
}

// Whole numbers print as integers; 1e15 keeps the rounding exact.
bool whole(double v) { return std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15; }

// One number column: "%10d" when every value of the column is whole, else the
// six-significant-digit format right-justified in 10.
struct ColumnFormat {
  bool integers = true;
  std::string operator()(double v) const {
    if (integers && whole(v)) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%10lld", static_cast<long long>(std::llround(v)));
      return buf;
    }
    return format_six_right(v, kColumn);
  }
};

template <class F>
ColumnFormat column_of(const ParetoResults& r, F value) {
  ColumnFormat f;
  for (const ParetoClass& c : r.classes) f.integers = f.integers && whole(value(c));
  return f;
}

std::string trimmed(const std::string& s) {
  const size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string padded(std::string s, size_t width) {
  if (s.size() < width) s.resize(width, ' ');
  return s;
}

std::string bar_label(const ParetoResults& r, const ParetoClass& c, int32_t option) {
  switch (static_cast<BarLabel>(option)) {
    case BarLabel::cumulative_percent:
      return r.total_score != 0 ? trimmed(format_fixed(r.percent(c.cum_score), kColumn, 2))
                                : format_six(0.0, kColumn);
    case BarLabel::cumulative_value:
      return format_six(c.cum_score, 16);
    default:
      return {};
  }
}

// A chart area that shows one message instead of a chart.
void message_chart(GraphBuilder& g, const std::string& message) {
  g.text_panel(0);
  g.text(0.5, 0.5, message, g.attribute(Tag::text), ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_MIDDLE, 0,
         ZTG_COORDS_PANEL);
}

}  // namespace

int32_t pareto_error_message(int32_t error_state) { return message_of_error_state(error_state); }

std::string pareto_summary_text(const ParetoResults& r, const ParetoSummaryInfo& info) {
  std::string t = text(Str::kParetoSummary) + kEol + kEol;
  t += text(Str::kLabelVariable) + info.main_expression + kEol;
  if (info.weighted) t += text(Str::kLabelWeights) + info.weights_expression + kEol;
  t += kEol;
  if (!info.selection_expression.empty())
    t += text(Str::kLabelSelection) + info.selection_expression + kEol + kEol;
  if (info.error_state != 0) return t + error_message(info.error_state) + kEol;
  t += text(Str::kParetoTotalCount) + " " + format_six(r.total_count, 16) + kEol;
  if (info.weighted) t += text(Str::kParetoTotalScore) + " " + format_six(r.total_score, 16) + kEol;
  t += text_with(Str::kParetoClassCount, r.classes_before) + kEol;
  return t;
}

std::string pareto_table_text(const ParetoResults& r, int32_t error_state) {
  if (error_state != 0) return text(Str::kNoResults);
  const ColumnFormat count = column_of(r, [](const ParetoClass& c) { return c.count; });
  const ColumnFormat weight = column_of(r, [](const ParetoClass& c) { return c.weight; });
  const ColumnFormat score = column_of(r, [](const ParetoClass& c) { return c.score; });
  std::string t;
  t.reserve(std::min(kTableLimit, (r.classes.size() + 10) * 86 + 2048));
  for (Str s : {Str::kParetoTableTitle, Str::kParetoRule, Str::kParetoHeading1,
                Str::kParetoHeading2, Str::kParetoRule})
    t += text(s) + kEol;
  char rank[16];
  for (size_t i = 0; i < r.classes.size(); ++i) {
    if (t.size() > kTableCut) {
      t += std::string("...") + kEol;
      break;
    }
    const ParetoClass& c = r.classes[i];
    std::snprintf(rank, sizeof rank, "%4d", static_cast<int>(std::min<size_t>(i + 1, 9999999)));
    t += padded(c.label.substr(0, kLabelWidth), kLabelWidth) + " " + rank + count(c.count) +
         weight(c.weight) + score(c.score) + score(c.cum_score) +
         format_fixed(r.percent(c.score), kColumn, 2) +
         format_fixed(r.percent(c.cum_score), kColumn, 2) + kEol;
  }
  t += text(Str::kParetoRule) + kEol;
  t += padded(text(Str::kParetoTotal), kLabelWidth) + "     " + count(r.total_count) +
       std::string(kColumn, ' ') + score(r.total_score) + kEol;
  if (t.size() > kTableLimit) t.resize(kTableLimit);  // only a footer of absurd length gets here
  return t;
}

void pareto_chart(const ParetoResults* r, int32_t error_state, int pane, int32_t bar_option,
                  GraphBuilder& g, const std::string& subtitle, bool reference) {
  g.reset(1, ZTG_KIND_PARETO);
  g.title(text(Str::kParetoChartTitle));
  if (!subtitle.empty()) g.subtitle(subtitle);
  if (r == nullptr || error_state != 0) return message_chart(g, text(Str::kNoResults));
  if (r->classes.size() > static_cast<size_t>(kMaxChartClasses))
    return message_chart(g, text(Str::kTooManyClasses));
  const auto k = static_cast<double>(r->classes.size());
  std::vector<std::string> labels;
  for (const ParetoClass& c : r->classes) labels.push_back(trimmed(c.label));
  g.axis_x(0, 1);
  g.categories_x(labels, 0.5 / k, 1 / k);
  // The value axis runs from 0 to the total; a total of 0 or less takes the range from the data.
  g.axis_y(0, r->total_score, 0, r->weighted ? "score" : text(Str::kAxisFrequency));
  const int bars = g.attribute(Tag::bar);
  std::vector<double> xs, ys;
  double before = 0;
  const bool percent_axis = pane == 8 && r->total_score > 0;
  const int counts = g.attribute(Tag::text);
  for (size_t i = 0; i < r->classes.size(); ++i) {
    const ParetoClass& c = r->classes[i];
    const double x0 = (static_cast<double>(i) + 0.1) / k, x1 = (static_cast<double>(i) + 0.9) / k;
    const std::string label = bar_label(*r, c, bar_option);
    if (pane == 8) {
      g.bar(x0, 0, x1, c.score, bars, 0, label);
      // The bar's own count (score when weighted) inside it, half-way up.
      g.text((x0 + x1) / 2, c.score / 2, trimmed(format_sig(c.score, 16, 6)), counts,
             ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_MIDDLE);
    } else {
      g.bar(x0, before, x1, c.cum_score, bars, 0, label);  // floats from the previous total
    }
    xs.push_back(x1);
    ys.push_back(percent_axis ? r->percent(c.cum_score) : c.cum_score);
    before = c.cum_score;
  }
  if (pane != 8) return;
  const int line = g.attribute(Tag::cumulative);
  const int coords = percent_axis ? ZTG_COORDS_DATA2 : ZTG_COORDS_DATA;
  if (percent_axis) g.axis_y2(0, 100, 20, text(Str::kGrCumPercent));
  g.polyline(xs, ys, line, 0, coords);
  g.points(xs, ys, line, 0, coords);
  if (reference && percent_axis) {
    ZtgAttribute ref = default_attribute(Tag::reference);
    ref.line_style = ZTG_LINE_DASH, ref.width = 0.8;
    g.hline(80, text(Str::kGrEightyPercent), g.attribute(ref), 0, ZTG_COORDS_DATA2);
  }
}

}  // namespace ztq
