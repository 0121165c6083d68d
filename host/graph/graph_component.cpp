#include "host/graph/graph_component.h"

#include <cctype>
#include <new>
#include <string>

#include "host/graph/graph_stack.h"

namespace qualty {
namespace {

GraphComponent* self_of(void* self) { return static_cast<GraphComponent*>(self); }

// The operations catch everything: no exception may reach the module.
void op_release(void* self, int32_t handle) {
  try {
    self_of(self)->release(handle);
  } catch (...) {
  }
}

int32_t op_create(void* self, const ZtGraphDescriptor* d) {
  if (d == nullptr) return 0;
  try {
    return self_of(self)->create(*d);
  } catch (...) {
    return 0;
  }
}

void op_write_settings(void* self, const ZtGraphSettings* s, int32_t) {
  if (s == nullptr) return;
  try {
    self_of(self)->write_settings(*s);
  } catch (...) {
  }
}

void op_read_settings(void* self, ZtGraphSettings* s, int32_t) {
  if (s == nullptr) return;
  try {
    self_of(self)->read_settings(*s);
  } catch (...) {
    *s = default_graph_settings();
  }
}

// The profile's [Intl] sDecimal when it is a punctuation mark other than a
// sign (as the module takes it), else the point.
char profile_decimal(const SettingsStore& store) {
  if (!store.get) return '.';
  const std::string d = store.get("Intl", "sDecimal", ".");
  const auto c = d.empty() ? '.' : static_cast<unsigned char>(d[0]);
  return std::ispunct(c) && c != '-' && c != '+' ? static_cast<char>(c) : '.';
}

}  // namespace

GraphComponent::GraphComponent(SettingsStore store) : store_(std::move(store)) {
  table_.self = this;
  table_.ReleaseGraph = op_release;
  table_.CreateGraph = op_create;
  table_.WriteGraphSettings = op_write_settings;
  table_.ReadGraphSettings = op_read_settings;
}

int32_t GraphComponent::create(const ZtGraphDescriptor& descriptor) {
  if (descriptor.size != static_cast<int32_t>(sizeof(ZtGraphDescriptor))) return 0;
  // A module that did not read the settings gets the profile's.
  ZtGraphDescriptor d = descriptor;
  if (d.settings.size == 0) d.settings = read_graph_settings(store_);
  // The canvas asked for (--size) wins over the settings and the description.
  if (canvas_w_ > 0 && canvas_h_ > 0) d.layout.width = canvas_w_, d.layout.height = canvas_h_;
  Graph graph = copy_graph(d);
  // Tick labels take the separator of the module's numbers (the panes and the
  // line labels): the regional setting, not the data file's dialect.
  graph.decimal = profile_decimal(store_);
  if (next_ == INT32_MAX) next_ = 1;  // handles wrap around rather than overflow
  while (graphs_.count(next_) != 0) ++next_;
  const int32_t handle = next_++;
  graphs_.emplace(handle, std::move(graph));
  last_ = handle;
  return handle;
}

void GraphComponent::release(int32_t handle) {
  graphs_.erase(handle);
  if (handle == last_) last_ = 0;
}

void GraphComponent::write_settings(const ZtGraphSettings& settings) {
  write_graph_settings(store_, settings);
}

void GraphComponent::read_settings(ZtGraphSettings& settings) {
  settings = read_graph_settings(store_);
}

const Graph* GraphComponent::find(int32_t handle) const {
  const auto it = graphs_.find(handle);
  return it == graphs_.end() ? nullptr : &it->second;
}

std::vector<int32_t> GraphComponent::handles() const {
  std::vector<int32_t> out;
  for (const auto& [handle, graph] : graphs_) out.push_back(handle);
  return out;
}

bool GraphComponent::write(int32_t handle, GraphFormat format, const std::string& path,
                           std::string* error) const {
  const Graph* graph = find(handle);
  if (graph == nullptr) {
    if (error != nullptr) *error = "no graph with handle " + std::to_string(handle);
    return false;
  }
  return write_graph_file(*graph, format, path, error);
}

bool GraphComponent::write_stacked(int32_t top, int32_t bottom, GraphFormat format,
                                   const std::string& path, std::string* error) const {
  const Graph* a = find(top);
  const Graph* b = find(bottom);
  if (a == nullptr || b == nullptr) {
    if (error != nullptr) *error = "no graph with handle " + std::to_string(a ? bottom : top);
    return false;
  }
  return write_graph_file(stack_graphs(*a, *b), format, path, error);
}

}  // namespace qualty
