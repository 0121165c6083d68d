// A minimal host for driving the Pareto exports: a data sheet of named
// columns (no expressions), a graph component that records what it was
// given, pane windows that keep their text, and forms answered from a map.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bridge/module_state.h"
#include "fake_host.h"
#include "ztqualty.h"
#include "ztqualty_procedures.h"

namespace ztq::testing {

struct SheetColumn {
  std::string name;
  int32_t type = 'N';  // 'N', 'C' or a date letter
  std::vector<double> numbers;
  std::vector<std::string> texts;
  int32_t width() const {
    size_t w = 1;
    for (const std::string& t : texts) w = std::max(w, t.size());
    return type == 'C' ? static_cast<int32_t>(w) : 1;
  }
  size_t rows() const { return type == 'C' ? texts.size() : numbers.size(); }
};

inline SheetColumn numeric(const std::string& name, std::vector<double> v, int32_t type = 'N') {
  return {name, type, std::move(v), {}};
}
inline SheetColumn character(const std::string& name, std::vector<std::string> v) {
  return {name, 'C', {}, std::move(v)};
}

struct FakeSheet {
  std::vector<SheetColumn> columns;
  ZtSpread spread{};

  FakeSheet() {
    spread.self = this;
    spread.ListSheetVariables = [](void* s, char* buffer) {
      const auto& cols = self(s).columns;
      std::memset(buffer, 0, ZTQ_LIST_BUFFER);
      for (size_t i = 0; i < cols.size() && i < ZTQ_MAX_VARIABLES; ++i)
        std::strncpy(buffer + i * ZTQ_NAME_SIZE, cols[i].name.c_str(), ZTQ_NAME_SIZE - 1);
      return static_cast<int32_t>(cols.size());
    };
    spread.SheetRowCount = [](void* s) { return self(s).rows(); };
    spread.VariableType = [](void* s, int32_t c0) { return self(s).columns.at(c0).type; };
    spread.VariableWidth = [](void* s, int32_t c0) { return self(s).columns.at(c0).width(); };
    spread.BeginSheetAccess = [](void*, int32_t) {};
    spread.EndSheetAccess = [](void*) {};
    spread.SetEvaluationRows = [](void*, int32_t) {};
    spread.ReadCell = [](void* s, int32_t c1, int32_t row, void* value) {
      const SheetColumn& c = self(s).columns.at(static_cast<size_t>(c1 - 1));
      const auto r = static_cast<size_t>(row - 1);
      if (c.type == 'C') {
        const std::string t = r < c.texts.size() ? c.texts[r] : std::string();
        std::memcpy(value, t.data(), t.size());  // the caller's cell is blank already
      } else {
        *static_cast<double*>(value) = r < c.numbers.size() ? c.numbers[r] : ZTQ_MISSING;
      }
      return int32_t{1};
    };
    spread.EvaluateExpression = [](void*, const char*) { return int32_t{0}; };
    spread.ExpressionResultInfo = [](void*, int32_t) { return int32_t{0}; };
    spread.ExpressionFetch = [](void*, int32_t, void*) { return int32_t{0}; };
  }
  FakeSheet(const FakeSheet&) = delete;
  FakeSheet& operator=(const FakeSheet&) = delete;

  static FakeSheet& self(void* s) { return *static_cast<FakeSheet*>(s); }
  int32_t rows() const {
    size_t n = 0;
    for (const SheetColumn& c : columns) n = std::max(n, c.rows());
    return static_cast<int32_t>(n);
  }
};

// The graph component: keeps the counts and texts of the last description.
struct FakeGraph {
  ZtGraph graph{};
  int created = 0;
  int32_t bars = 0, lines = 0, points = 0;
  std::vector<std::string> texts, bar_labels;
  std::string title, y_title;
  double y_max = 0;

  FakeGraph() {
    graph.self = this;
    graph.ReleaseGraph = [](void*, int32_t) {};
    graph.CreateGraph = [](void* s, const ZtGraphDescriptor* d) {
      FakeGraph& g = *static_cast<FakeGraph*>(s);
      g.bars = d->bar_count, g.lines = d->line_count, g.points = d->point_count;
      g.texts.clear(), g.bar_labels.clear();
      for (int32_t i = 0; i < d->text_count; ++i)
        g.texts.emplace_back(d->texts[i].text ? d->texts[i].text : "");
      for (int32_t i = 0; i < d->bar_count; ++i)
        g.bar_labels.emplace_back(d->bars[i].label ? d->bars[i].label : "");
      g.title = d->layout.title ? d->layout.title : "";
      const ZtgAxis& y = d->layout.panels[0].y;
      g.y_title = y.title ? y.title : "";
      g.y_max = y.max;
      return ++g.created;
    };
  }
  FakeGraph(const FakeGraph&) = delete;
  FakeGraph& operator=(const FakeGraph&) = delete;
};

// One Pareto analysis at index 0, driven through the exports.
struct ParetoSession {
  FakeHost host;
  FakeSheet sheet;
  FakeGraph graph;
  HostContext ctx{};
  AnalysisRecord record{};
  std::map<std::string, std::string> answers;  // form field -> answer
  std::string pane_text;
  PaneWindow window{};
  char advice[8192] = {};

  ParetoSession() {
    module_startup(QUALTY_BIN);
    host.app.spread = &sheet.spread;
    host.app.graph = &graph.graph;
    host.app.platform_id = 1;  // panes are windows
    host.app.run_form = [](HostApplication* a, ZtForm* f) {
      (void)a;
      ParetoSession& s = *current();
      for (int32_t i = 0; i < f->field_count; ++i) {
        const auto it = s.answers.find(f->fields[i].name);
        if (it != s.answers.end())
          std::snprintf(f->fields[i].value, sizeof f->fields[i].value, "%s", it->second.c_str());
      }
      return int32_t{1};
    };
    window.host = this;
    window.set_text = [](PaneWindow* w, const char* t) {
      static_cast<ParetoSession*>(w->host)->pane_text = t;
    };
    current() = this;
    IsQualityLoaded(&host.app, advice, 0);
  }
  ~ParetoSession() {
    QualReleaseRecord(&record);
    IsQualityLoaded(nullptr, nullptr, 0);
    current() = nullptr;
  }
  ParetoSession(const ParetoSession&) = delete;
  ParetoSession& operator=(const ParetoSession&) = delete;

  static ParetoSession*& current() {
    static ParetoSession* s = nullptr;
    return s;
  }

  // Dialog (answered from answers), Setup and Begin; returns Begin's result.
  int32_t start(const std::map<std::string, std::string>& roles, int mode = 0) {
    answers = roles;
    answers["mode"] = std::to_string(mode);
    ctx.row_count = sheet.rows();
    if (ParetoDialog(0, &ctx, 0) != 1) return -1;
    char out[8192] = {};
    ParetoSetup(0, &record, nullptr, out, 0);
    return ParetoBegin(0);
  }
  int32_t begin() { return ParetoBegin(0); }

  std::string pane(int n) {
    pane_text.clear();
    ZtGraphDescriptor d{};
    d.size = sizeof d;
    ParetoItem(&window, 0, n, &d);
    return pane_text;
  }
};

}  // namespace ztq::testing
