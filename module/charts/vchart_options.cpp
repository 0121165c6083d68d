// The forms of the control charts (the analysis options of every code, the
// listing's pane option) and the series that Vsave offers by code.
#include <cctype>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "charts/vchart_family.h"
#include "charts/vchart_panes.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

// The integer and double options of the options form; labels are string
// 5300 + k (option k) and 5400 + k (doption k). Ranges are loose where the
// options check (validate_chart_options) gives the reason for a refusal.
struct IntOption {
  int k;
  double minimum, maximum;
};
constexpr IntOption kIntOptions[] = {
    {0, 0, 1},     {1, 0, 1},     {2, 0, 1},     {4, 0, 1},     {10, 0, 1},    {11, 0, 1},
    {12, 0, 1},    {13, 0, 1},    {14, 0, 1},    {15, 0, 1},    {16, 1, 1000}, {17, 1, 1000},
    {18, 1, 1000}, {19, 1, 1000}, {20, 1, 1000}, {21, 1, 1000}, {22, 1, 1000}, {23, 1, 1000},
    {24, 0, 1},    {25, 0, 1},    {26, 0, 1},    {27, 0, 1},    {28, 0, 1},    {29, 0, 1},
    {30, 0, 1},    {33, 0, 1},    {34, 1, 1e6},  {35, 0, 1},    {43, 0, 1},    {44, 1, 1e6},
    {45, 0, 1},    {51, 0, 1e9},  {53, 0, 2},    {54, 0, 2},    {55, 0, 10},   {56, 0, 10},
    {57, 0, 1},    {58, 0, 3},    {66, 0, 1},    {67, 0, 1e9},  {68, 0, 1e9},  {69, 0, 1e9},
    {70, 0, 1e9},  {73, 0, 2}};
constexpr int kDoubleOptions[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                  16, 17, 18, 21, 31, 37, 38, 39, 40, 41, 42, 53, 54, 55, 57};

void add_series(std::vector<SavedSeries>& out, Str name, std::vector<double> values,
                const char* extra = "") {
  out.push_back({text(name), std::move(values), {}, extra});
}

// The data variable's expression as a column-name prefix: letters, digits
// and '_' kept, every other run of characters one '_' ("Defective/Inspected"
// gives "Defective_Inspected"), short enough to leave room for the series'
// own name in a column name of 32 characters.
std::string column_prefix(const char* expression) {
  std::string p;
  for (const char* c = expression; *c != '\0'; ++c) {
    const auto u = static_cast<unsigned char>(*c);
    if (std::isalnum(u) || *c == '_')
      p += *c;
    else if (!p.empty() && p.back() != '_')
      p += '_';
  }
  while (!p.empty() && p.back() == '_') p.pop_back();
  if (!p.empty() && std::isdigit(static_cast<unsigned char>(p[0]))) p.insert(0, "X");
  constexpr std::size_t kRoom = 32 - 1 - 14;  // '_' and the longest series name (14)
  if (p.size() > kRoom) p.resize(kRoom);
  return p;
}

// A value in the first row only, missing below.
std::vector<double> first_row(double v, std::size_t n) {
  std::vector<double> s(n, kMissing);
  if (n > 0) s[0] = v;
  return s;
}

Str statistic_series_name(int code) {
  switch (code) {
    case 4:
      return Str::kVcSaveP;
    case 5:
      return Str::kVcSaveNp;
    case 6:
      return Str::kVcSaveU;
    case 7:
      return Str::kVcSaveC;
    case 8:
    case 11:
      return Str::kVcSaveMa;
    case 9:
    case 12:
      return Str::kVcSaveEwma;
    case 10:
    case 13:
    case 14:
    case 15:
      return Str::kVcSaveCusum;
    case 3:
    case 17:
    case 19:
    case 21:
      return Str::kVcSaveIndividual;
    default:  // the subgroup-mean charts
      return Str::kVcSaveMean;
  }
}

Str centre_series_name(int code) {
  switch (code) {
    case 4:
      return Str::kVcSavePbar;
    case 5:
      return Str::kVcSaveNpbar;
    case 6:
      return Str::kVcSaveUbar;
    case 7:
      return Str::kVcSaveCbar;
    default:
      return Str::kVcSaveCentre;
  }
}

}  // namespace

std::vector<OptionField> Vchart::analysis_options(const AnalysisRecord&) const {
  using S = OptionField::Store;
  std::vector<OptionField> f;
  for (const IntOption& o : kIntOptions)
    f.push_back({"option" + std::to_string(o.k),
                 static_cast<Str>(static_cast<int32_t>(Str::kVcTitle) + 200 + o.k), S::option, o.k,
                 o.minimum, o.maximum, ZTQ_FIELD_INTEGER});
  for (int k : kDoubleOptions)
    f.push_back({"doption" + std::to_string(k),
                 static_cast<Str>(static_cast<int32_t>(Str::kVcTitle) + 300 + k), S::doption, k,
                 ZTQ_MISSING, ZTQ_MISSING, ZTQ_FIELD_REAL});
  name_chart_options(f);
  return f;
}

std::vector<OptionField> Vchart::pane_options(const AnalysisRecord& r, int pane) const {
  using S = OptionField::Store;
  const int code = r.variant;
  switch (vchart_pane_of(code, pane)) {
    case VchartPane::T2:  // `option9`, kept with the numbered options
      if (code >= 4 && code <= 7)
        return {{"option9", Str::kVcPaneListWhichAttr, S::option, 9, 0, 2, ZTQ_FIELD_INTEGER}};
      return {{"option9", Str::kVcPaneListWhich, S::option, 9, 0, 4, ZTQ_FIELD_INTEGER}};
    case VchartPane::G:
      return {{"classes", Str::kVcPaneClasses, S::pane_option, 0, 0, 200, ZTQ_FIELD_INTEGER}};
    // Names differ by builder, so that one --set name means one curve.
    case VchartPane::R0:
      return {{"oc_range", Str::kVcPaneRange, S::pane_option, 0, 0, 20, ZTQ_FIELD_INTEGER},
              {"oc_points", Str::kVcPanePoints, S::pane_option, 1, 0, 2001, ZTQ_FIELD_INTEGER}};
    case VchartPane::R1:
      return {{"arl_range", Str::kVcPaneRange, S::pane_option, 0, 0, 20, ZTQ_FIELD_INTEGER},
              {"arl_points", Str::kVcPanePoints, S::pane_option, 1, 0, 2001, ZTQ_FIELD_INTEGER}};
    case VchartPane::Rc:
      return {{"shift_range", Str::kVcPaneShifts, S::pane_option, 0, 0, 20, ZTQ_FIELD_INTEGER},
              {"shift_points", Str::kVcPanePoints, S::pane_option, 1, 0, 2001, ZTQ_FIELD_INTEGER}};
    case VchartPane::C1:
    case VchartPane::C2:
      if (code == 10 || code == 13 || code == 14 || code == 15) return {};
      return {{"zones", Str::kGrPaneZones, S::pane_option, 0, 0, 2, ZTQ_FIELD_INTEGER}};
    case VchartPane::M2:
      return {{"lags", Str::kVcPaneLags, S::pane_option, 0, 0, 100, ZTQ_FIELD_INTEGER}};
    default:  // S takes the analysis options; T2z, T3, T4 and M1 have none
      return {};
  }
}

std::vector<SavedSeries> Vchart::saved_series(const Analysis& a) const {
  const VchartState* st = a.results<VchartState>();
  if (st == nullptr) return {};
  const ChartResults& r = st->results;
  const ChartSeries& s = r.series;
  const int code = a.record().variant;
  const std::size_t n = s.stat1.size();
  std::vector<SavedSeries> out;
  const bool attribute = code >= 4 && code <= 7;
  add_series(out, statistic_series_name(code), std::vector<double>(s.stat1.begin(), s.stat1.end()));
  if (!attribute) {
    const bool mr = code == 3 || code == 8 || code == 9 || code == 10 || code == 15 || code == 17 ||
                    code == 19 || code == 21;
    const Str dispersion = code == 1 || code == 20 ? Str::kVcSaveStdDev
                           : code == 2             ? Str::kVcSaveVariance
                                                   : Str::kVcSaveRange;
    add_series(out, mr ? Str::kVcSaveMr : dispersion, s.stat2_values());
  }
  const bool sized = !(code == 3 || code == 7 || code == 8 || code == 9 || code == 10 ||
                       code == 15 || code == 17 || code == 19 || code == 21);
  if (sized)
    add_series(out, attribute ? Str::kVcSaveSampleSize : Str::kVcSaveSize, s.size.values());
  SavedSeries labels{text(Str::kVcSaveLabels), {}, {}};
  labels.texts.reserve(n);
  for (std::size_t i = 0; i < n; ++i) labels.texts.push_back(st->labels[i]);
  if (n > 0) out.push_back(std::move(labels));
  add_series(out, centre_series_name(code), first_row(r.centre, n));
  add_series(out, attribute ? Str::kVcSaveAttrSigma : Str::kVcSaveSigma, first_row(r.sigma, n));
  const bool inclusion =
      code == 3 || code == 8 || code == 9 || code == 10 || code == 15 || code == 21 || code == 19;
  if (inclusion) {
    std::vector<double> inc(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
      const bool excluded = i < s.excluded.size() && s.excluded[i] != 0;
      inc[i] = !excluded && !is_missing(s.stat1[i]) ? 1.0 : 0.0;
    }
    add_series(out, Str::kVcSaveIncluded, std::move(inc));
  }
  if (code >= 16 && code <= 19) {
    const std::vector<double>& line =
        code <= 17 && !r.model.fitted.empty() ? r.model.fitted : s.cl1.values();
    add_series(out, Str::kVcSaveCentreLine, line);
  }
  // Saved only when asked: the per-point limits of both charts, the flag word.
  add_series(out, Str::kVcSaveUcl1, s.ucl1.values(), "limits");
  add_series(out, Str::kVcSaveLcl1, s.lcl1.values(), "limits");
  if (!attribute) {
    add_series(out, Str::kVcSaveUcl2, s.ucl2.values(), "limits");
    add_series(out, Str::kVcSaveLcl2, s.lcl2.values(), "limits");
  }
  std::vector<double> flags(n, 0.0);
  for (std::size_t i = 0; i < n && i < s.flags.size(); ++i) flags[i] = s.flags[i];
  add_series(out, Str::kVcSaveFlags, std::move(flags), "flags");
  // Each name after the data variable's, so charts of two variables can be
  // saved into one sheet.
  const std::string prefix = column_prefix(a.record().variables[0].expression);
  if (!prefix.empty())
    for (SavedSeries& ss : out) ss.name = prefix + "_" + ss.name;
  return out;
}

}  // namespace ztq
