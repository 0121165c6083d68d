// Graph settings: the built-in defaults and their keys in the profile.
#pragma once

#include <functional>
#include <string>

#include "ztgraph.h"

namespace qualty {

// The profile as the graph component sees it: a string by section and key.
struct SettingsStore {
  std::function<std::string(const std::string& section, const std::string& key,
                            const std::string& fallback)>
      get;
  std::function<void(const std::string& section, const std::string& key, const std::string& value)>
      set;
};

inline constexpr const char* kGraphSection = "Graph";

ZtGraphSettings default_graph_settings();

// A settings block with every field usable: a block whose size is not filled
// in gives the defaults, and absurd sizes or colours are replaced by defaults.
ZtGraphSettings complete_settings(const ZtGraphSettings& settings);

void write_graph_settings(const SettingsStore& store, const ZtGraphSettings& settings);
ZtGraphSettings read_graph_settings(const SettingsStore& store);

// "#rrggbb" for a colour and back; parse gives fallback for anything else.
std::string colour_text(int colour);
int parse_colour(const std::string& text, int fallback);

}  // namespace qualty
