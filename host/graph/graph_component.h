// The graph component (ZTGRAPH) as the module sees it: a table of operations
// over a store of kept graphs, with the settings kept in the profile.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/graph/graph_file.h"
#include "host/graph/graph_model.h"
#include "host/graph/graph_settings.h"
#include "ztgraph.h"

namespace qualty {

class GraphComponent {
 public:
  explicit GraphComponent(SettingsStore store = {});
  GraphComponent(const GraphComponent&) = delete;
  GraphComponent& operator=(const GraphComponent&) = delete;

  // The operation table to put into HostApplication::graph; valid while this lives.
  ZtGraph* component() { return &table_; }

  int32_t create(const ZtGraphDescriptor& descriptor);  // the new handle, 0 when refused
  void release(int32_t handle);
  void write_settings(const ZtGraphSettings& settings);
  void read_settings(ZtGraphSettings& settings);

  // Kept graphs: by handle (null when unknown), the handles in creation order.
  const Graph* find(int32_t handle) const;
  std::vector<int32_t> handles() const;
  int32_t last_handle() const { return last_; }

  // Writes a kept graph; false with the reason in error for an unknown handle
  // or an unwritable file.
  bool write(int32_t handle, GraphFormat format, const std::string& path,
             std::string* error = nullptr) const;
  // Writes two kept graphs stacked on one page (chart 1 above chart 2).
  bool write_stacked(int32_t top, int32_t bottom, GraphFormat format, const std::string& path,
                     std::string* error = nullptr) const;

  // The canvas of every graph created from now on: pixels for PNG, points for
  // SVG and PDF; 0 x 0 leaves it to the description and the settings.
  void set_canvas(int width, int height) { canvas_w_ = width, canvas_h_ = height; }

 private:
  SettingsStore store_;
  ZtGraph table_{};
  std::map<int32_t, Graph> graphs_;
  int32_t next_ = 1, last_ = 0;
  int canvas_w_ = 0, canvas_h_ = 0;
};

}  // namespace qualty
