#include "host/graph/graph_backend.h"

#include "host/plugins/plugin_loader.h"

namespace qualty {

GraphBackend& graph_backend() {
  static GraphBackend* const backend = [] {
    auto* make = reinterpret_cast<decltype(&qualty_graph_backend)>(
        plugin_factory("libqualty_cairo.so", "qualty_graph_backend", "graph renderer"));
    return make();
  }();
  return *backend;
}

}  // namespace qualty
