#include "app/families.h"

#include <map>

namespace qualty {

namespace {

// Argument counts of each family's exports beyond the common ones:
// Dialog, Setup, Begin, BeginAgain, Item and Opts.
struct Shape {
  const char* prefix;
  int dialog, setup, begin, begin_again, item;
};

const std::map<std::string, Shape>& shapes() {
  static const std::map<std::string, Shape> table = {
      {"pareto", {"Pareto", 3, 5, 1, 6, 4}},   {"custom", {"Custom", 3, 5, 1, 6, 4}},
      {"mvchart", {"Mvchart", 5, 5, 2, 6, 4}}, {"capable", {"Capable", 4, 6, 1, 7, 4}},
      {"gagerr", {"Gagerr", 4, 6, 2, 7, 5}},   {"gagelong", {"Gagelong", 4, 6, 2, 7, 5}},
      {"gageset", {"GageSet", 6, 6, 2, 7, 5}}, {"vchart", {"Vchart", 6, 6, 3, 7, 5}},
  };
  return table;
}

template <class F>
F* find(const Module& m, const std::string& name) {
  return reinterpret_cast<F*>(m.symbol(name.c_str()));
}

}  // namespace

bool bind_family(const Module& m, const std::string& procedure, int32_t variant, FamilyCalls& c,
                 std::string& error) {
  const auto it = shapes().find(procedure);
  if (it == shapes().end()) {
    error = "unknown procedure '" + procedure + "'";
    return false;
  }
  const Shape s = it->second;
  const std::string p = s.prefix;
  c.prefix = p;
  bool ok = true;
  auto need = [&](void* f, const std::string& name) {
    if (f == nullptr) {
      ok = false;
      error = "the module does not offer " + procedure + " (no export " + name + ")";
    }
  };
  // Each export is called with exactly its family's number of arguments: the
  // common ones, then the variant and host values (0 here).
  using I = int32_t;
  switch (s.dialog) {
    case 3: {
      auto* f = find<I(I, HostContext*, I)>(m, p + "Dialog");
      need(reinterpret_cast<void*>(f), p + "Dialog");
      c.dialog = [f](I i, HostContext* x, I r) { return f(i, x, r); };
      break;
    }
    case 4: {
      auto* f = find<I(I, HostContext*, I, I)>(m, p + "Dialog");
      need(reinterpret_cast<void*>(f), p + "Dialog");
      c.dialog = [f, variant](I i, HostContext* x, I r) { return f(i, x, r, variant); };
      break;
    }
    case 5: {
      auto* f = find<I(I, HostContext*, I, I, I)>(m, p + "Dialog");
      need(reinterpret_cast<void*>(f), p + "Dialog");
      c.dialog = [f, variant](I i, HostContext* x, I r) { return f(i, x, r, variant, 0); };
      break;
    }
    default: {
      auto* f = find<I(I, HostContext*, I, I, I, I)>(m, p + "Dialog");
      need(reinterpret_cast<void*>(f), p + "Dialog");
      c.dialog = [f, variant](I i, HostContext* x, I r) { return f(i, x, r, variant, 0, 0); };
      break;
    }
  }
  if (s.setup == 5) {
    auto* f = find<void(I, AnalysisRecord*, AnalysisWindow*, char*, I)>(m, p + "Setup");
    need(reinterpret_cast<void*>(f), p + "Setup");
    c.setup = [f](I i, AnalysisRecord* r, AnalysisWindow* w, char* t, I u) { f(i, r, w, t, u); };
  } else {
    auto* f = find<void(I, AnalysisRecord*, AnalysisWindow*, char*, I, I)>(m, p + "Setup");
    need(reinterpret_cast<void*>(f), p + "Setup");
    c.setup = [f, variant](I i, AnalysisRecord* r, AnalysisWindow* w, char* t, I u) {
      f(i, r, w, t, u, variant);
    };
  }
  switch (s.begin) {
    case 1: {
      auto* f = find<I(I)>(m, p + "Begin");
      need(reinterpret_cast<void*>(f), p + "Begin");
      c.begin = [f](I i) { return f(i); };
      break;
    }
    case 2: {
      auto* f = find<I(I, I)>(m, p + "Begin");
      need(reinterpret_cast<void*>(f), p + "Begin");
      c.begin = [f](I i) { return f(i, 0); };
      break;
    }
    default: {
      // The control charts: the chart-type code and the reset flag (a new
      // analysis starts with every point included).
      auto* f = find<I(I, I, I)>(m, p + "Begin");
      need(reinterpret_cast<void*>(f), p + "Begin");
      c.begin = [f, variant](I i) { return f(i, variant, 1); };
      break;
    }
  }
  if (s.begin_again == 6) {
    auto* f = find<I(I, AnalysisRecord*, AnalysisWindow*, HostContext*, SheetState*, SheetWindow*)>(
        m, p + "BeginAgain");
    need(reinterpret_cast<void*>(f), p + "BeginAgain");
    c.begin_again = f;
  } else {
    auto* f =
        find<I(I, AnalysisRecord*, AnalysisWindow*, HostContext*, SheetState*, SheetWindow*, I)>(
            m, p + "BeginAgain");
    need(reinterpret_cast<void*>(f), p + "BeginAgain");
    c.begin_again = [f, variant](I i, AnalysisRecord* r, AnalysisWindow* w, HostContext* x,
                                 SheetState* ss,
                                 SheetWindow* sw) { return f(i, r, w, x, ss, sw, variant); };
  }
  for (const std::string op : {"Item", "Opts"}) {
    auto& slot = op == "Item" ? c.item : c.opts;
    if (s.item == 4) {
      auto* f = find<I(PaneWindow*, I, I, ZtGraphDescriptor*)>(m, p + op);
      need(reinterpret_cast<void*>(f), p + op);
      slot = f;
    } else {
      auto* f = find<I(PaneWindow*, I, I, ZtGraphDescriptor*, I)>(m, p + op);
      need(reinterpret_cast<void*>(f), p + op);
      // The fifth argument is the variant (the chart-type code of the control charts).
      slot = [f, variant](PaneWindow* w, I i, I pane, ZtGraphDescriptor* d) {
        return f(w, i, pane, d, variant);
      };
    }
  }
  if (auto* f = find<void(int32_t, int32_t)>(m, p + "Vsave"))
    c.vsave = [f](int32_t i, int32_t a) { f(i, a); };
  if (auto* f = find<int32_t(int32_t, int32_t)>(m, p + "Exclude"))
    c.exclude = [f](int32_t i, int32_t point) { return f(i, point); };
  return ok;
}

}  // namespace qualty
