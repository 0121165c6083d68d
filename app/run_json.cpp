#include "app/run_json.h"

namespace qualty {

nlohmann::json options_in_force(const OptionCatalog& catalog, const AnalysisRecord& r) {
  nlohmann::json out = nlohmann::json::object();
  for (const OptionInfo& o : catalog.options()) {
    const std::string& key = OptionCatalog::shown_name(o);
    if (o.name == "mode") {
      out[key] = r.input_mode;
    } else if (o.store == "option" && o.index >= 0 && o.index < ZTQ_INT_OPTIONS) {
      out[key] = r.option[o.index];
    } else if (o.store == "doption" && o.index >= 0 && o.index < ZTQ_REAL_OPTIONS) {
      const double v = r.doption[o.index];
      out[key] = v == ZTQ_MISSING ? nlohmann::json() : nlohmann::json(v);
    } else if (o.store == "pane_option" && o.index >= 0 && o.index < 8 && o.pane >= 1 &&
               o.pane <= ZTQ_PANES) {
      out[key] = r.pane_option[o.pane - 1][o.index];
    }
  }
  return out;
}

}  // namespace qualty
