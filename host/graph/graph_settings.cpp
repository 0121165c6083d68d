#include "host/graph/graph_settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qualty {
namespace {

// Profile keys of the colours by tag, in ZtgTag order.
constexpr const char* kTagKeys[ZTG_TAG_COUNT] = {
    "DataColour", "CentreColour",     "LimitColour",     "WarningColour",
    "SpecColour", "OutColour",        "ExcludedColour",  "FitColour",
    "BarColour",  "CumulativeColour", "ReferenceColour", "TextColour"};

bool valid_colour(int c) { return c >= 0 && c <= 0xFFFFFF; }

double sane(double v, double lo, double hi, double fallback) {
  return std::isfinite(v) && v >= lo && v <= hi ? v : fallback;
}

std::string number_text(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

double parse_number(const std::string& s, double fallback) {
  if (s.empty()) return fallback;
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  return end != s.c_str() && *end == 0 ? v : fallback;
}

int32_t parse_int(const std::string& s, int32_t fallback) {
  const double v = parse_number(s, fallback);
  return v >= -1e9 && v <= 1e9 ? static_cast<int32_t>(v) : fallback;  // no overflowing cast
}

}  // namespace

ZtGraphSettings default_graph_settings() {
  ZtGraphSettings s{};
  s.size = static_cast<int32_t>(sizeof(ZtGraphSettings));
  s.width = 800;
  s.height = 500;
  s.background = 0xFFFFFF;
  s.foreground = 0x222222;
  s.grid = 0xE4E4E4;
  // Okabe & Ito (2008) colour-universal design: distinguishable under the
  // common colour-vision deficiencies.
  const int32_t colours[ZTG_TAG_COUNT] = {0x0072B2, 0x009E73, 0xD55E00, 0xE69F00,
                                          0xCC79A7, 0xD55E00, 0x8A8A8A, 0xD55E00,
                                          0x9ECAE9, 0xB8470A, 0x555555, 0x222222};
  std::memcpy(s.tag_colours, colours, sizeof colours);
  s.title_size = 14;
  s.label_size = 10;
  s.tick_size = 9;
  s.marker_size = 5;
  s.line_width = 1.2;
  std::snprintf(s.font, sizeof s.font, "%s", "DejaVu Sans");
  return s;
}

ZtGraphSettings complete_settings(const ZtGraphSettings& in) {
  const ZtGraphSettings d = default_graph_settings();
  if (in.size != static_cast<int32_t>(sizeof(ZtGraphSettings))) return d;
  ZtGraphSettings s = in;
  s.width = s.width >= 64 && s.width <= 8192 ? s.width : d.width;
  s.height = s.height >= 64 && s.height <= 8192 ? s.height : d.height;
  if (!valid_colour(s.background)) s.background = d.background;
  if (!valid_colour(s.foreground)) s.foreground = d.foreground;
  if (!valid_colour(s.grid)) s.grid = d.grid;
  for (int i = 0; i < ZTG_TAG_COUNT; ++i)
    if (!valid_colour(s.tag_colours[i])) s.tag_colours[i] = d.tag_colours[i];
  s.title_size = sane(s.title_size, 4, 72, d.title_size);
  s.label_size = sane(s.label_size, 4, 72, d.label_size);
  s.tick_size = sane(s.tick_size, 4, 72, d.tick_size);
  s.marker_size = sane(s.marker_size, 0.5, 50, d.marker_size);
  s.line_width = sane(s.line_width, 0.1, 20, d.line_width);
  s.font[sizeof s.font - 1] = 0;
  if (s.font[0] == 0) std::memcpy(s.font, d.font, sizeof s.font);
  return s;
}

std::string colour_text(int colour) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%06x", static_cast<unsigned>(colour) & 0xFFFFFFu);
  return buf;
}

int parse_colour(const std::string& text, int fallback) {
  if (text.size() != 7 || text[0] != '#') return fallback;
  char* end = nullptr;
  const long v = std::strtol(text.c_str() + 1, &end, 16);
  return *end == 0 ? static_cast<int>(v) : fallback;
}

void write_graph_settings(const SettingsStore& store, const ZtGraphSettings& in) {
  if (!store.set) return;
  const ZtGraphSettings s = complete_settings(in);
  const auto put = [&](const char* key, const std::string& v) { store.set(kGraphSection, key, v); };
  put("Width", std::to_string(s.width));
  put("Height", std::to_string(s.height));
  put("Background", colour_text(s.background));
  put("Foreground", colour_text(s.foreground));
  put("GridColour", colour_text(s.grid));
  for (int i = 0; i < ZTG_TAG_COUNT; ++i) put(kTagKeys[i], colour_text(s.tag_colours[i]));
  put("TitleSize", number_text(s.title_size));
  put("LabelSize", number_text(s.label_size));
  put("TickSize", number_text(s.tick_size));
  put("MarkerSize", number_text(s.marker_size));
  put("LineWidth", number_text(s.line_width));
  put("Font", s.font);
}

ZtGraphSettings read_graph_settings(const SettingsStore& store) {
  ZtGraphSettings s = default_graph_settings();
  if (!store.get) return s;
  const auto get = [&](const char* key) { return store.get(kGraphSection, key, ""); };
  s.width = parse_int(get("Width"), s.width);
  s.height = parse_int(get("Height"), s.height);
  s.background = parse_colour(get("Background"), s.background);
  s.foreground = parse_colour(get("Foreground"), s.foreground);
  s.grid = parse_colour(get("GridColour"), s.grid);
  for (int i = 0; i < ZTG_TAG_COUNT; ++i)
    s.tag_colours[i] = parse_colour(get(kTagKeys[i]), s.tag_colours[i]);
  s.title_size = parse_number(get("TitleSize"), s.title_size);
  s.label_size = parse_number(get("LabelSize"), s.label_size);
  s.tick_size = parse_number(get("TickSize"), s.tick_size);
  s.marker_size = parse_number(get("MarkerSize"), s.marker_size);
  s.line_width = parse_number(get("LineWidth"), s.line_width);
  const std::string font = get("Font");
  if (!font.empty()) std::snprintf(s.font, sizeof s.font, "%s", font.c_str());
  return complete_settings(s);
}

}  // namespace qualty
