#include "app/run_json.h"

#include <algorithm>

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

std::string results_text(Session& session, AnalysisRecord* record) {
  const auto results_export = session.module().exports().results_json;
  std::string buf(1 << 20, '\0');
  int32_t need = results_export(record, buf.data(), static_cast<int32_t>(buf.size()));
  if (need >= static_cast<int32_t>(buf.size())) {
    buf.assign(static_cast<size_t>(need) + 1, '\0');
    need = results_export(record, buf.data(), static_cast<int32_t>(buf.size()));
  }
  buf.resize(static_cast<size_t>(std::max(need, 0)));
  return buf;
}

std::string pareto_chart_warning(const std::string& outcome) {
  constexpr int kChartClasses = 20;  // the most classes a Pareto chart shows
  const nlohmann::json doc = nlohmann::json::parse(outcome, nullptr, false);
  if (!doc.is_object() || !doc.contains("results")) return {};
  const nlohmann::json& r = doc["results"];
  const int after = r.value("classes_after", 0);
  if (after <= kChartClasses) return {};
  // Folding the last N classes into one leaves classes_before - N + 1.
  const int n_fold = r.value("classes_before", after) - kChartClasses + 1;
  return std::to_string(after) + " classes are more than a Pareto chart shows (" +
         std::to_string(kChartClasses) +
         "): fold the smallest with --set combine=3 --set n_fold=" + std::to_string(n_fold);
}

}  // namespace qualty
