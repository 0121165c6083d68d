#include "pareto/pareto_compute.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "format/dates.h"
#include "format/numfmt.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

// A usable number: neither the missing value nor NaN nor infinite.
bool valid(double v) { return !is_missing(v) && std::isfinite(v); }

bool blank(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\0'; });
}

bool is_date_type(int32_t type) {
  switch (type) {
    case 'D':
    case 'M':
    case 'Q':
    case 'S':
    case 'T':
    case 'U':
    case 'V':
      return true;
    default:
      return false;
  }
}

// The label of row i of a labels column (blank beyond its end).
std::string row_label(const ParetoColumn& c, size_t i) {
  if (c.character()) return pad_label(i < c.texts.size() ? c.texts[i] : std::string());
  return numeric_label(i < c.numbers.size() ? c.numbers[i] : kMissing, c.type);
}

bool has_valid_value(const ParetoColumn& c) {
  if (c.character())
    return std::any_of(c.texts.begin(), c.texts.end(),
                       [](const std::string& s) { return !blank(s); });
  return std::any_of(c.numbers.begin(), c.numbers.end(), valid);
}

}  // namespace

double ParetoResults::percent(double value) const {
  return total_score != 0 ? 100.0 * value / total_score : 0.0;
}

std::string pad_label(std::string_view text) {
  std::string s(text.substr(0, kLabelWidth));
  for (char& c : s)
    if (c == '\0') c = ' ';
  s.resize(kLabelWidth, ' ');
  return s;
}

std::string numeric_label(double v, int32_t type) {
  if (!valid(v)) return pad_label("");
  if (is_date_type(type)) {
    const std::string d = type == 'M' ? format_month(v) : format_day(v);
    if (!d.empty()) return pad_label(d);  // a value without a date falls through to a number
  }
  if (std::fabs(v) <= 1e-12) return pad_label("0");
  // Whole numbers keep all their digits; 1e15 is where doubles stop holding
  // every integer closely enough to print it digit by digit in 20 characters.
  if (v == std::floor(v) && std::fabs(v) < 1e15) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", v);
    return pad_label(buf);
  }
  return pad_label(format_six(v, kLabelWidth));
}

// Frequency tabulation by sorting: equal neighbours in ascending order form one class.
std::vector<TabulatedClass> tabulate_raw(const ParetoColumn& raw, const ParetoColumn& weights) {
  std::vector<TabulatedClass> classes;
  const size_t n = raw.rows();
  const bool weighted = weights.given();
  const auto weight = [&](size_t i) {
    return i < weights.numbers.size() ? weights.numbers[i] : kMissing;
  };
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  if (raw.character()) {
    // Ascending byte order of the stored texts, ties in row order.
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return raw.texts[a] < raw.texts[b]; });
    const std::string* previous = nullptr;
    for (size_t i : order) {
      const std::string& t = raw.texts[i];
      if (blank(t) || (weighted && !valid(weight(i)))) continue;
      if (previous == nullptr || t != *previous) classes.push_back({0.0, pad_label(t)});
      classes.back().count += 1;
      if (weighted) classes.back().score += weight(i);
      previous = &t;
    }
    return classes;
  }
  // Ascending values with missing (and unusable) values last, ties in row order.
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const double x = raw.numbers[a], y = raw.numbers[b];
    if (!valid(x)) return false;
    if (!valid(y)) return true;
    return x < y;
  });
  double previous = 0;
  for (size_t i : order) {
    const double v = raw.numbers[i];
    if (!valid(v) || (weighted && !valid(weight(i)))) continue;
    if (classes.empty() || v != previous) classes.push_back({0.0, numeric_label(v, raw.type)});
    classes.back().count += 1;
    if (weighted) classes.back().score += weight(i);
    previous = v;
  }
  return classes;
}

// Ranking by an ascending stable sort (equal scores keep their order of
// appearance), read from its end.
std::vector<size_t> pareto_order(const std::vector<double>& scores) {
  std::vector<size_t> order(scores.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return scores[a] < scores[b]; });
  std::reverse(order.begin(), order.end());
  return order;
}

// Folding of the "trivial many" (Juran 1951): the last position that the rule keeps.
int64_t last_kept(const std::vector<ParetoClass>& ordered, double total_score,
                  const ParetoOptions& o) {
  const auto k = static_cast<int64_t>(ordered.size());
  int64_t d = -1;
  for (int64_t a = 0; a < k; ++a) {
    const double score = ordered[static_cast<size_t>(a)].score;
    bool keep = false;
    switch (static_cast<CombineRule>(o.combine)) {
      case CombineRule::by_score:
        keep = score >= o.score_threshold;
        break;
      case CombineRule::by_percent:
        keep = total_score != 0 && 100.0 * score / total_score >= o.percent_threshold;
        break;
      case CombineRule::fold_last:
        keep = a < k - static_cast<int64_t>(o.n_fold);
        break;
      default:
        keep = true;  // no folding
        break;
    }
    if (keep) d = a;
  }
  return d;
}

// Pareto analysis (Juran 1951): scores count x weight, ranked, the tail folded.
ParetoResults compute_pareto(const ParetoInput& in, const ParetoOptions& o) {
  ParetoResults r;
  if (!has_valid_value(in.main)) {
    r.error = 3;
    return r;
  }
  // The items that may take part: tabulated classes (mode 0) or rows (mode 1).
  std::vector<double> counts;
  std::vector<std::string> labels;
  std::vector<double> raw_scores;  // mode 0 with weights: each class's summed row weights
  if (in.mode == 0) {
    for (TabulatedClass& c : tabulate_raw(in.main, in.weights)) {
      counts.push_back(c.count);
      labels.push_back(std::move(c.label));
      raw_scores.push_back(c.score);
    }
  } else {
    if (in.main.character()) {  // counts must be numbers
      r.error = 3;
      return r;
    }
    counts = in.main.numbers;
  }
  r.weighted = in.weights.given();
  const bool own_labels = in.mode == 1 || in.labels.given();
  std::vector<ParetoClass> items;
  for (size_t j = 0; j < counts.size(); ++j) {
    ParetoClass c;
    c.count = counts[j];
    if (!valid(c.count)) continue;
    if (r.weighted && in.mode == 0) {
      // Weights per observation row: the class's score is its rows' sum, its
      // weight the mean (count x weight when every row has the same weight).
      c.score = raw_scores[j];
      if (!std::isfinite(c.score)) continue;
      c.weight = c.count != 0 ? c.score / c.count : 0.0;
    } else if (r.weighted) {
      c.weight = j < in.weights.numbers.size() ? in.weights.numbers[j] : kMissing;
      if (!valid(c.weight)) continue;
      c.score = c.count * c.weight;
      if (!std::isfinite(c.score)) continue;  // an overflowing product is no score
    } else {
      c.weight = 1.0;
      c.score = c.count;
    }
    if (!own_labels)
      c.label = labels[j];
    else if (in.labels.given())
      c.label = row_label(in.labels, j);
    else
      c.label = pad_label(j < in.default_labels.size() ? in.default_labels[j] : std::string());
    c.source = static_cast<int32_t>(j);
    r.total_count += c.count;
    r.total_score += c.score;
    items.push_back(std::move(c));
  }
  if (items.empty()) {  // no row with a valid count (and weight): nothing to rank
    r.error = 3;
    return r;
  }
  std::vector<double> scores(items.size());
  for (size_t i = 0; i < items.size(); ++i) scores[i] = items[i].score;
  for (size_t i : pareto_order(scores)) r.classes.push_back(std::move(items[i]));
  const auto k = static_cast<int64_t>(r.classes.size());
  r.classes_before = static_cast<int32_t>(k);
  if (o.combine != 0) {
    const int64_t d = last_kept(r.classes, r.total_score, o);
    if (d < k - 1) {
      ParetoClass rest;
      rest.label = pad_label(o.folded_label);
      rest.count = 0;
      rest.score = 0;
      for (auto a = static_cast<size_t>(d + 1); a < r.classes.size(); ++a) {
        rest.count += r.classes[a].count;
        rest.score += r.classes[a].score;
      }
      // The folded class's weight: 1 without weights, else its count-weighted
      // mean weight (score over count; 0 for a zero count).
      rest.weight = !r.weighted ? 1.0 : (rest.count != 0 ? rest.score / rest.count : 0.0);
      r.classes.resize(static_cast<size_t>(d + 1));
      r.classes.push_back(std::move(rest));
      r.folded = true;
    }
  }
  double cumulative = 0;
  for (ParetoClass& c : r.classes) {
    cumulative += c.score;
    c.cum_score = cumulative;
  }
  r.classes_after = static_cast<int32_t>(r.classes.size());
  return r;
}

}  // namespace ztq
