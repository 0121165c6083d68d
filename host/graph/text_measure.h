// Text extents of the graph font through the drawing plugin, shared by every
// surface so that SVG, PNG and PDF lay out the same way. Making one loads
// the plugin (PluginError when it cannot be loaded).
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "host/graph/graph_backend.h"

namespace qualty {

class TextMeasure {
 public:
  explicit TextMeasure(std::string family)
      : family_(std::move(family)), metrics_(graph_backend().text_metrics(family_)) {}

  double width(const std::string& s, double size, bool bold) {
    return metrics_->width(s, size, bold);
  }
  FontMetrics metrics(double size) { return metrics_->metrics(size); }
  const std::string& family() const { return family_; }

 private:
  std::string family_;
  std::unique_ptr<TextMetrics> metrics_;
};

}  // namespace qualty
