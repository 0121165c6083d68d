#include "host/graph/graph_backend.h"

#include "host/plugins/plugin_loader.h"

namespace qualty {

GraphBackend& graph_backend() {
  return plugin_object<decltype(qualty_graph_backend)>("libqualty_cairo.so", "qualty_graph_backend",
                                                       "graph renderer");
}

}  // namespace qualty
