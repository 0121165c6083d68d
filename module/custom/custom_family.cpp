// The custom procedure: an empty chart frame of the user's design, with its
// exports CustomDialog .. CustomOpts. It reads no data and computes nothing.
//
// Record layout:
//   variables[0..2].expression  the chart, X axis and Y axis titles (texts,
//                               never loaded: variable_count stays 0)
//   doption[0..2], [3..5]       X and Y axis minimum, maximum, increment
//   doption[6..13]              positions of reference lines 1 to 8 (missing: none)
//   option[0..7]                their orientations: 0 horizontal, 1 vertical
#include <cstring>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/export_guard.h"
#include "bridge/forms.h"
#include "bridge/json.h"
#include "bridge/lifecycle.h"
#include "bridge/module_state.h"
#include "bridge/procedures.h"
#include "custom/custom_frame.h"
#include "format/numfmt.h"
#include "ztqualty_procedures.h"

namespace ztq {

namespace {

enum : int32_t {
  kTitle = 2186,     // the procedure's name
  kVertical = 4161,  // orientation labels of the reference-line form
  kHorizontal = 4162,
  kNoteFirst = 4163,     // the seven lines of the note, 4163 to 4169
  kFieldTitle1 = 44210,  // input form labels: three titles, six axis values
  kFieldLine = 44220,    // "%d": reference-line form, position of line k
  kFieldOrientation = 44221,
  kLineLabel = 44222,  // "%d": the label of line k on the chart
  kOptionPosition = 44223,
  kOptionOrientation = 44224,
};

constexpr int32_t kProcedureCode = 32890;
constexpr int32_t kFirstPosition = 6;  // doption6 .. doption13

const std::string& str(int32_t n) { return module_state().strings.get(n); }

std::string str_with(int32_t n, int v) {
  const std::string& f = str(n);
  const size_t at = f.find("%d");
  return at == std::string::npos ? f : f.substr(0, at) + std::to_string(v) + f.substr(at + 2);
}

// What CustomDialog keeps for CustomSetup.
struct PendingFrame {
  std::array<std::string, 3> titles;
  CustomAxis x, y;
};
PendingFrame& pending() {
  static PendingFrame p;
  return p;
}

std::string number_text(double v) { return is_missing(v) ? std::string() : format_sig(v, 32, 15); }

CustomSettings settings_of(const AnalysisRecord& r) {
  CustomSettings s;
  for (int i = 0; i < 3; ++i) s.titles[static_cast<size_t>(i)] = r.variables[i].expression;
  s.x = {r.doption[0], r.doption[1], r.doption[2]};
  s.y = {r.doption[3], r.doption[4], r.doption[5]};
  for (int k = 0; k < kCustomLines; ++k) {
    s.position[static_cast<size_t>(k)] = r.doption[kFirstPosition + k];
    s.orientation[static_cast<size_t>(k)] = r.option[k];
  }
  return s;
}

void mark_all_dirty(AnalysisRecord& r) {
  for (int32_t& d : r.dirty) d = 1;
}

void notify_change() {
  HostContext* ctx = host_context();
  if (ctx != nullptr && ctx->change_notification != nullptr) ctx->change_notification(ctx, 1);
}

void copy_expression(char (&dst)[ZTQ_EXPRESSION_SIZE], const std::string& s) {
  const size_t n = std::min(s.size(), static_cast<size_t>(ZTQ_EXPRESSION_SIZE - 1));
  std::memcpy(dst, s.data(), n);
  dst[n] = '\0';
}

class Custom final : public Procedure {
 public:
  const char* name() const override { return "custom"; }
  std::string summary() const override {
    return "Custom chart: an empty frame with chosen axes, titles and up to eight reference lines";
  }
  int32_t title_number() const override { return kTitle; }
  int32_t procedure_code(int32_t) const override { return kProcedureCode; }
  const std::vector<VariableRole>& roles() const override {
    static const std::vector<VariableRole> kNone;
    return kNone;
  }

  void set_defaults(AnalysisRecord& r) const override {
    const double axis[6] = {0, 100, 20, 0, 100, 20};
    for (int i = 0; i < 6; ++i) r.doption[i] = axis[i];
    for (int k = 0; k < kCustomLines; ++k) {
      r.doption[kFirstPosition + k] = kMissing;
      r.option[k] = 0;
    }
  }

  void masks(const AnalysisRecord&, int32_t out[2]) const override {
    out[0] = 1;  // the note
    out[1] = 0;  // the chart is built on request
  }

  bool load_variables(Analysis&) const override { return true; }
  void compute(Analysis&) const override {}

  bool text_pane(const Analysis&, int pane, std::string& out) const override {
    if (pane != 1) return false;
    out = str(kTitle + pane) + "\r\n";
    for (int32_t n = kNoteFirst; n < kNoteFirst + 7; ++n) out += str(n) + "\r\n";
    return true;
  }

  bool graph_pane(const Analysis& a, int pane, GraphBuilder& g) const override {
    if (pane != 8) return false;
    const CustomFrame f = custom_frame(settings_of(a.record()));
    if (!f.titles[0].empty()) g.title(f.titles[0]);
    g.grid(false);
    g.axis_x(f.x.min, f.x.max, f.x.increment, f.titles[1]);
    g.axis_y(f.y.min, f.y.max, f.y.increment, f.titles[2]);
    const int attr = g.attribute(Tag::reference);
    for (const CustomLine& l : f.lines)
      g.segment(l.from_x, l.from_y, l.to_x, l.to_y, attr, 0, str_with(kLineLabel, l.line));
    return true;
  }

  std::vector<PaneInfo> panes() const override {
    return {{1, static_cast<Str>(kTitle + 1)}, {8, static_cast<Str>(kTitle)}};
  }

  std::vector<std::string> input_fields() const override {
    return {"title1",   "title2",   "title3",   "doption0", "doption1",
            "doption2", "doption3", "doption4", "doption5"};
  }

  // The reference lines: listed here for describe and the command line;
  // CustomOpts asks them in a form of its own (orientation as a label).
  std::vector<OptionField> analysis_options(const AnalysisRecord&) const override {
    using S = OptionField::Store;
    std::vector<OptionField> out;
    for (int k = 0; k < kCustomLines; ++k)
      out.push_back({"doption" + std::to_string(kFirstPosition + k),
                     static_cast<Str>(kOptionPosition), S::doption, kFirstPosition + k, ZTQ_MISSING,
                     ZTQ_MISSING, ZTQ_FIELD_REAL});
    for (int k = 0; k < kCustomLines; ++k)
      out.push_back({"option" + std::to_string(k), static_cast<Str>(kOptionOrientation), S::option,
                     k, 0, 1, ZTQ_FIELD_CHOICE});
    return out;
  }

  std::string results_json(const Analysis& a) const override {
    const CustomFrame f = custom_frame(settings_of(a.record()));
    const auto axis = [](const CustomAxis& x) {
      JsonObject o;
      o.add_number("min", x.min);
      o.add_number("max", x.max);
      o.add_number("increment", x.increment);
      return o.str();
    };
    const auto pair = [](double x, double y) {
      return "[" + json_number(x) + "," + json_number(y) + "]";
    };
    std::string lines = "[";
    for (const CustomLine& l : f.lines) {
      JsonObject o;
      o.add_number("line", l.line);
      o.add_number("orientation", l.orientation);
      o.add_number("position", l.position);
      o.add_raw("from", pair(l.from_x, l.from_y));
      o.add_raw("to", pair(l.to_x, l.to_y));
      lines += (lines.size() > 1 ? "," : "") + o.str();
    }
    JsonObject out;
    out.add_raw("x_axis", axis(f.x));
    out.add_raw("y_axis", axis(f.y));
    out.add_raw("titles", "[" + json_quote(f.titles[0]) + "," + json_quote(f.titles[1]) + "," +
                              json_quote(f.titles[2]) + "]");
    out.add_number("line_count", static_cast<double>(f.lines.size()));
    out.add_raw("lines", lines + "]");
    return out.members();
  }
};

const Custom& custom() {
  static const Custom c;
  return c;
}

const RegisterProcedure kRegister{&custom()};

// The input form: three titles and the two axes, each axis checked.
int32_t custom_dialog(int32_t index, HostContext* ctx, int32_t reuse) {
  set_host_context(ctx);
  if (index < 0) return 1;
  const AnalysisRecord* r = reuse != 0 ? record_at(index) : nullptr;
  AnalysisRecord defaults{};
  custom().set_defaults(defaults);
  const AnalysisRecord& from = r != nullptr ? *r : defaults;
  Form form(1, custom().name());
  for (int i = 0; i < 3; ++i)
    form.add("title" + std::to_string(i + 1), str(kFieldTitle1 + i), ZTQ_FIELD_TEXT,
             from.variables[i].expression);
  for (int i = 0; i < 6; ++i)
    form.add("doption" + std::to_string(i), str(kFieldTitle1 + 3 + i), ZTQ_FIELD_REAL,
             number_text(from.doption[i]), ZTQ_MISSING, ZTQ_MISSING, true);
  const auto axis_of = [](const Form& f, int first) {
    CustomAxis a;
    parse_form_number(f.value("doption" + std::to_string(first)), a.min);
    parse_form_number(f.value("doption" + std::to_string(first + 1)), a.max);
    parse_form_number(f.value("doption" + std::to_string(first + 2)), a.increment);
    return a;
  };
  const auto validate = [&](const Form& f) -> std::string {
    for (int first : {0, 3})
      if (const int32_t m = check_custom_axis(axis_of(f, first)); m != 0)
        return str(m) + " (" + (first == 0 ? "X" : "Y") + ")";
    return {};
  };
  if (!form.ask(validate)) return 0;
  PendingFrame& p = pending();
  for (int i = 0; i < 3; ++i)
    p.titles[static_cast<size_t>(i)] = form.value("title" + std::to_string(i + 1));
  p.x = axis_of(form, 0);
  p.y = axis_of(form, 3);
  return 1;
}

void custom_setup(int32_t index, AnalysisRecord* record, AnalysisWindow* window, char* out_text,
                  int32_t reuse) {
  if (record == nullptr || !valid_index(index)) return;
  lifecycle_setup(custom(), index, record, window, nullptr, reuse, 0);
  AnalysisRecord& r = *record;
  r.selection.expression[0] = '\0';  // no variables, no selection
  const PendingFrame& p = pending();
  // The axes come from the form at every setup: a form answered again for
  // an open analysis changes them; the lines keep their settings.
  const double axis[6] = {p.x.min, p.x.max, p.x.increment, p.y.min, p.y.max, p.y.increment};
  for (int i = 0; i < 6; ++i) r.doption[i] = axis[i];
  for (int i = 0; i < 3; ++i)
    copy_expression(r.variables[i].expression, p.titles[static_cast<size_t>(i)]);
  if (out_text == nullptr) return;
  size_t at = 0;
  for (const std::string& s : {str(kTitle), p.titles[0], p.titles[1], p.titles[2]}) {
    const size_t len = std::min(s.size(), static_cast<size_t>(ZTQ_EXPRESSION_SIZE - 1));
    if (at + len + 1 > static_cast<size_t>(kSetupTextSize)) break;
    std::memcpy(out_text + at, s.data(), len);
    out_text[at + len] = '\0';
    at += len + 1;
  }
}

// The reference-line form: per line its position (empty: no line) and its
// orientation, the label 4161 (vertical) or anything else (horizontal). "1"
// and "0" are read as the command line writes them.
int32_t custom_opts(PaneWindow* pane_window, int32_t index, int32_t pane,
                    ZtGraphDescriptor* descriptor) {
  AnalysisRecord* rp = record_at(index);
  if (rp == nullptr || pane < 1 || pane > ZTQ_PANES) return 0;
  AnalysisRecord& r = *rp;
  if (r.error_state != 0 && pane != 1) return 0;
  Form form(101, custom().name());
  for (int k = 0; k < kCustomLines; ++k) {
    form.add("doption" + std::to_string(kFirstPosition + k), str_with(kFieldLine, k + 1),
             ZTQ_FIELD_REAL, number_text(r.doption[kFirstPosition + k]));
    form.add("option" + std::to_string(k), str_with(kFieldOrientation, k + 1), ZTQ_FIELD_TEXT,
             str(r.option[k] == 1 ? kVertical : kHorizontal), ZTQ_MISSING, ZTQ_MISSING, false,
             str(kHorizontal) + "|" + str(kVertical));
  }
  if (!form.ask()) return 0;
  for (int k = 0; k < kCustomLines; ++k) {
    double v = kMissing;
    const std::string position = form.value("doption" + std::to_string(kFirstPosition + k));
    if (!parse_form_number(position, v)) v = kMissing;
    r.doption[kFirstPosition + k] = v;
    std::string o = form.value("option" + std::to_string(k));
    o.erase(0, o.find_first_not_of(' '));
    o.erase(o.find_last_not_of(' ') + 1);
    r.option[k] = o == str(kVertical) || o == "1" ? 1 : 0;
  }
  notify_change();
  if (pane == 1) {
    mark_all_dirty(r);
    return 1;
  }
  r.dirty[pane - 1] = 1;
  lifecycle_item(custom(), pane_window, index, pane, descriptor);
  return 1;
}

}  // namespace

}  // namespace ztq

ZTQ_EXPORT int32_t CustomDialog(int32_t index, HostContext* context, int32_t reuse) {
  return ztq::guarded_export([&] { return ztq::custom_dialog(index, context, reuse); });
}

ZTQ_EXPORT void CustomSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                            char* out_text, int32_t reuse) {
  ztq::guarded_void([&] { ztq::custom_setup(index, record, window, out_text, reuse); });
}

ZTQ_EXPORT int32_t CustomBegin(int32_t index) {
  return ztq::guarded_export([&] { return ztq::lifecycle_begin(ztq::custom(), index); });
}

ZTQ_EXPORT int32_t CustomBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                    HostContext* context, SheetState* sheet_state,
                                    SheetWindow* sheet_window) {
  return ztq::guarded_export([&] {
    return ztq::lifecycle_begin_again(ztq::custom(), index, record, window, context, sheet_state,
                                      sheet_window, 0);
  });
}

ZTQ_EXPORT int32_t CustomItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_item(ztq::custom(), pane_window, index, pane, descriptor); });
}

ZTQ_EXPORT int32_t CustomOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor) {
  return ztq::guarded_export(
      [&] { return ztq::custom_opts(pane_window, index, pane, descriptor); });
}
