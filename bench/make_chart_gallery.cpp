// Writes docs/gallery/charts/*.png and the section "Control charts by
// chart-type code" of docs/gallery.md: every graph pane that the routing
// table gives each chart-type code (0 to 21), built by the control-chart
// procedure's own graph panes on the bundled data sets (through the exports
// against the stand-in data sheet) and drawn by the host's renderer.
// Usage: make_chart_gallery [REPOSITORY_ROOT] (default "."); it keeps the
// page before this section and drops what follows (tools/gallery.sh runs
// the generators in page order). It defines its own main, so it runs no
// benchmarks.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/graph_builder.h"
#include "bridge/lifecycle.h"
#include "bridge/module_state.h"
#include "charts/vchart_family.h"
#include "host/graph/graph_file.h"
#include "host/profile/host_application.h"
#include "host/sheet/csv.h"
#include "host/sheet/spread_ops.h"
#include "ztqualty_procedures.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kHeading = "## Control charts by chart-type code";

// The data and the answers of the input form for one code.
struct Job {
  std::string file;
  std::map<std::string, std::string> answers;
};

Job job_of(int code) {
  const std::map<std::string, std::string> subgrouped = {{"data", "Diameter"},
                                                         {"subgroup", "Sample"}};
  const std::map<std::string, std::string> individuals = {{"data", "Diameter"}};
  // Specification limits of the piston rings (used by G and by codes 18 to 21).
  std::map<std::string, std::string> tolerance = {{"doption16", "25.43"}, {"doption18", "25.37"}};
  switch (code) {
    case 4:
    case 6:
      return {"defectives.csv",
              {{"data", "Defective/Inspected"}, {"size", "Inspected"}, {"subgroup", "Day"}}};
    case 5:
      return {"defectives.csv",
              {{"data", "Defective"}, {"size", "Inspected"}, {"subgroup", "Day"}}};
    case 7:
      return {"defectives.csv", {{"data", "Defective"}, {"subgroup", "Day"}}};
    case 3:
    case 8:
    case 9:
    case 10:
    case 15:
    case 17:
    case 19:
    case 21: {
      auto a = individuals;
      a.insert(tolerance.begin(), tolerance.end());
      return {"diameters.csv", a};
    }
    default: {
      auto a = subgrouped;
      a.insert(tolerance.begin(), tolerance.end());
      return {"diameters.csv", a};
    }
  }
}

class Host {
 public:
  explicit Host(const std::string& csv) {
    ui_.quiet = true;
    ui_.answer_form = [this](ZtForm& f) -> int32_t {
      for (int32_t i = 0; i < f.field_count; ++i) {
        const auto it = answers_.find(f.fields[i].name);
        if (it != answers_.end())
          std::snprintf(f.fields[i].value, sizeof f.fields[i].value, "%s", it->second.c_str());
      }
      return 1;
    };
    sheet_ = qualty::read_csv_file(csv).sheet;
    state_ = std::make_unique<qualty::SpreadState>(sheet_);
    spread_ = qualty::make_spread_ops(*state_);
    host_.c_object()->spread = &spread_;
    IsQualityLoaded(host_.c_object(), advice_, 0);
  }
  ~Host() {
    QualReleaseRecord(&record_);
    ztq::module_state().app = nullptr;
  }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Dialog, Setup and Begin of CODE with the specification limits set.
  bool start(int code, std::map<std::string, std::string> answers) {
    answers_ = std::move(answers);
    ctx_.row_count = static_cast<int32_t>(sheet_.row_count());
    if (VchartDialog(0, &ctx_, 0, code, 0, 0) == 0) return false;
    VchartSetup(0, &record_, nullptr, setup_, 0, code);
    record_.doption[16] =
        std::stod(answers_["doption16"].empty() ? "-32768" : answers_["doption16"]);
    record_.doption[18] =
        std::stod(answers_["doption18"].empty() ? "-32768" : answers_["doption18"]);
    record_.doption[17] = 25.40;  // the nominal diameter
    return VchartBegin(0, code, 1) == 1;
  }
  AnalysisRecord& record() { return record_; }

 private:
  qualty::DataSheet sheet_;
  std::unique_ptr<qualty::SpreadState> state_;
  ZtSpread spread_{};
  qualty::IniProfile profile_;
  qualty::UiService ui_;
  qualty::HostApp host_{profile_, ui_};
  HostContext ctx_{};
  AnalysisRecord record_{};
  char advice_[8192] = {};
  char setup_[ztq::kSetupTextSize] = {};
  std::map<std::string, std::string> answers_;
};

// The text of docs/gallery.md before this section (the page's head).
std::string page_before_section(const fs::path& md) {
  std::ifstream in(md, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  const std::string text = s.str();
  const std::size_t at = text.find(kHeading);
  return at == std::string::npos ? text : text.substr(0, at);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path root = argc > 1 ? argv[1] : ".";
  const fs::path docs = root / "docs", out = docs / "gallery" / "charts";
  fs::create_directories(out);
  ztq::module_startup(fs::absolute(argv[0]).parent_path().string());
  std::ostringstream md;
  md << kHeading << "\n\nEvery graph pane of every chart-type code, built by the control-chart "
     << "procedure on the bundled data (`data/diameters.csv`: 25 samples of 5 piston-ring "
     << "diameters, specification limits 25.37 and 25.43, nominal 25.40; `data/defectives.csv` for "
        "the "
     << "attribute charts) and drawn by the graph component. Made by "
     << "`bench/make_chart_gallery.cpp`.\n\n";
  int failures = 0;
  for (int code = 0; code <= 21; ++code) {
    const Job job = job_of(code);
    Host host((root / "data" / job.file).string());
    if (!host.start(code, job.answers)) {
      std::fprintf(stderr, "code %d: the analysis did not start\n", code);
      ++failures;
      continue;
    }
    ztq::Analysis a(host.record(), ztq::vchart());
    bool heading = false;
    for (int pane = 8; pane <= 12; ++pane) {
      ztq::GraphBuilder g;
      if (!ztq::vchart().graph_pane(a, pane, g)) continue;
      ZtGraphDescriptor d{};
      g.finish(d);
      const std::string name = "code" + std::to_string(code) + "_pane" + std::to_string(pane);
      std::string error;
      if (!qualty::write_graph_file(qualty::copy_graph(d), qualty::GraphFormat::png,
                                    (out / (name + ".png")).string(), &error)) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
        ++failures;
        continue;
      }
      if (!heading) {
        md << "### Code " << code << ": " << (d.layout.title != nullptr ? d.layout.title : "")
           << "\n\n";
        heading = true;
      }
      md << "![Code " << code << ", pane " << pane << "](gallery/charts/" << name << ".png)\n\n";
    }
  }
  const fs::path page = docs / "gallery.md";
  const std::string before = page_before_section(page);
  std::ofstream(page, std::ios::binary) << before << md.str();
  return failures == 0 ? 0 : 1;
}
