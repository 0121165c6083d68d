// What a procedure supplies to the common lifecycle: its variables, options,
// computation, panes and saved series. The lifecycle (lifecycle.h) does the
// rest once for every procedure: variable checks, loading with selection,
// pane masks, dirty flags, text delivery with advice, options forms, Exclude
// and Vsave.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "bridge/graph_builder.h"
#include "bridge/json.h"
#include "bridge/strings.h"
#include "ztqualty.h"

namespace ztq {

class Analysis;

// One input variable of a procedure, in the procedure's order. The selection
// variable is not listed: every procedure has one, role "select", last.
struct VariableRole {
  const char* name;  // the role the host answers by: "raw", "counts", "data", ...
  Str label;
  unsigned modes;  // bit m set: input mode m uses this variable
  bool required;   // required in the modes that use it
  bool character_allowed;
  // The expression lists several variables separated by ';' (the T-squared
  // chart's data); each is checked on its own.
  bool list = false;
};

// One field of an options form: an integer option (option[index]), a real
// option (doption[index]) or a pane option (pane_option[pane - 1][index]).
struct OptionField {
  enum class Store { option, doption, pane_option };
  std::string name;  // "option34", "doption21", or a procedure's own name
  Str label;
  Store store;
  int index;
  double minimum;  // inclusive; ZTQ_MISSING when unbounded
  double maximum;
  int32_t kind = ZTQ_FIELD_INTEGER;
  // A readable alias the command line accepts beside name ("usl" for
  // doption16); empty when the option has none.
  std::string alias = {};
  // Named values the command line accepts for this option ("xbar-r" for 0);
  // empty when only numbers are meant.
  std::vector<std::pair<std::string, double>> choices = {};
};

// Options the command line sets together under one name: a list that fills
// its members in order, the rest 0 ("phases=18,31"); one value times each
// member's scale ("sigma_multiple=3" gives 3, -3, 3, -3); or named presets
// that give every member a value ("rules=nelson").
struct OptionGroup {
  std::string name;
  Str label;
  std::vector<std::string> members;  // option names
  std::vector<double> scale;         // a scaled group: one factor a member
  std::vector<std::pair<std::string, std::vector<double>>> presets;  // a preset group
};

// One result series that Vsave offers, with its default column name.
struct SavedSeries {
  std::string name;
  std::vector<double> values;      // numeric series
  std::vector<std::string> texts;  // or a character series (labels), width 20
  // "" for a series saved by default; else the group ("limits", "flags") of
  // an extra series, offered after the others and saved only when asked.
  std::string extra = {};
};

// A pane the procedure offers: its number and the string of its title.
struct PaneInfo {
  int number;
  Str title;
};

class Procedure {
 public:
  virtual ~Procedure() = default;

  virtual const char* name() const = 0;  // the command-line name: "pareto"
  virtual std::string summary() const = 0;
  virtual int32_t title_number() const = 0;
  // The title string number a record of the variant carries (the gage study
  // stores one per variant); the interpretation is chosen by it.
  virtual int32_t title_number_of(int32_t /*variant*/) const { return title_number(); }
  // The code written into the HostContext's slot (0: write nothing).
  virtual int32_t procedure_code(int32_t variant) const = 0;
  virtual const std::vector<VariableRole>& roles() const = 0;
  // Input modes: the input mode is answered as the form field "mode" when
  // there is more than one.
  virtual int mode_count() const { return 1; }
  // Variants (the chart-type codes of the control charts); options and
  // panes may differ between them.
  virtual int variant_count() const { return 1; }
  // Readable names of the variants in code order, with their titles (empty:
  // variants are known by number only).
  virtual std::vector<std::pair<std::string, Str>> variant_names() const { return {}; }
  // Options set together under one name (see OptionGroup).
  virtual std::vector<OptionGroup> option_groups() const { return {}; }

  virtual void set_defaults(AnalysisRecord& r) const = 0;
  // Options read from or written to the profile (none by default).
  virtual void read_profile(AnalysisRecord&) const {}
  virtual void write_profile(const AnalysisRecord&) const {}
  virtual void masks(const AnalysisRecord& r, int32_t out[2]) const = 0;

  // Loads the procedure's own variables through Analysis::load (the
  // auxiliary and selection variables are loaded already). False when a
  // variable could not be loaded.
  virtual bool load_variables(Analysis& a) const = 0;
  // Recomputes from the loaded variables (options changed, a point excluded).
  virtual void compute(Analysis& a) const = 0;
  // Points that Exclude can toggle (0: the procedure has no exclusion).
  virtual bool has_exclusion() const { return false; }

  // Panes. A text pane returns its text without advice (CR LF line ends); a
  // graph pane describes itself into the builder. False: no such pane.
  virtual bool text_pane(const Analysis& a, int pane, std::string& text) const = 0;
  virtual bool graph_pane(const Analysis&, int, GraphBuilder&) const { return false; }

  // Every pane the procedure can build, for describe and the host's listing.
  virtual std::vector<PaneInfo> panes() const = 0;

  // Names that the procedure's own input form answers beside the roles (the
  // custom chart's titles and axes); none by default.
  virtual std::vector<std::string> input_fields() const { return {}; }

  virtual std::vector<OptionField> analysis_options(const AnalysisRecord&) const { return {}; }
  virtual std::vector<OptionField> pane_options(const AnalysisRecord&, int) const { return {}; }
  // Options that shares pane options with pane (dirty together); by default only itself.
  virtual std::vector<int> panes_sharing_options(int pane) const { return {pane}; }
  // A message number when the options make a formula meaningless, else 0.
  virtual int32_t validate_options(const AnalysisRecord&) const { return 0; }

  virtual std::vector<SavedSeries> saved_series(const Analysis&) const { return {}; }

  // The message number that tells the user what the error state means (most
  // procedures keep the message number itself as their error state).
  virtual int32_t error_message(const AnalysisRecord& r) const {
    return message_of_error_state(r.error_state);
  }

  // The results as the members of a JSON object (without braces).
  virtual std::string results_json(const Analysis&) const { return {}; }
  // The same members written to OUT as they are formed (a procedure with long
  // per-point series overrides it, and leaves them out when !out.series()).
  virtual void write_results_json(const Analysis& a, JsonObject& out) const {
    if (const std::string m = results_json(a); !m.empty()) out.add_members(m);
  }
  // The points flagged out of control as a JSON array ("" when the procedure
  // flags none).
  virtual std::string violations_json(const Analysis&) const { return {}; }
  // The same array written to SINK as it is formed (nothing when none).
  virtual void write_violations_json(const Analysis& a, JsonSink& sink) const {
    sink.put(violations_json(a));
  }
  // True when results_json also describes an analysis in an error state
  // (its status), so that the JSON carries it.
  virtual bool results_with_error() const { return false; }
};

}  // namespace ztq
