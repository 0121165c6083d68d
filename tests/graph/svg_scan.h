// A small reader of the SVG that the renderer writes: enough to find its
// texts, circles and poly-lines and check where they are.
#pragma once

#include <regex>
#include <string>
#include <vector>

namespace qualty::testing {

struct SvgText {
  double x, y;
  std::string text;
};
struct SvgCircle {
  double cx, cy, r;
  std::string fill;
};

inline std::string unescape(std::string s) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
  for (const auto& [from, to] : entities)
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1))
      s.replace(at, std::string(from).size(), to);
  return s;
}

inline std::vector<SvgText> svg_texts(const std::string& svg) {
  std::vector<SvgText> out;
  static const std::regex re(R"re(<text x="([-0-9.]+)" y="([-0-9.]+)"[^>]*>([^<]*)</text>)re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), re); it != std::sregex_iterator();
       ++it)
    out.push_back({std::stod((*it)[1]), std::stod((*it)[2]), unescape((*it)[3])});
  return out;
}

inline std::vector<SvgCircle> svg_circles(const std::string& svg) {
  std::vector<SvgCircle> out;
  static const std::regex re(
      R"re(<circle cx="([-0-9.]+)" cy="([-0-9.]+)" r="([-0-9.]+)" fill="([^"]*)")re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), re); it != std::sregex_iterator();
       ++it)
    out.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), (*it)[4]});
  // Markers of one kind written as one path: a circle is "Mx,y a r,r ..." from
  // its leftmost point.
  static const std::regex path(R"re(<path d="([^"]*)" fill="([^"]*)")re");
  static const std::regex arc(R"re(M([-0-9.]+),([-0-9.]+)a([-0-9.]+),)re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), path); it != std::sregex_iterator();
       ++it) {
    const std::string d = (*it)[1];
    for (auto c = std::sregex_iterator(d.begin(), d.end(), arc); c != std::sregex_iterator(); ++c) {
      const double r = std::stod((*c)[3]);
      out.push_back({std::stod((*c)[1]) + r, std::stod((*c)[2]), r, (*it)[2]});
    }
  }
  return out;
}

// The number of <path> elements (markers of one kind are one path).
inline std::size_t svg_path_count(const std::string& svg) {
  std::size_t n = 0;
  for (std::size_t at = svg.find("<path "); at != std::string::npos; at = svg.find("<path ", at + 1))
    ++n;
  return n;
}

// Every number pair of every poly-line and polygon.
inline std::vector<std::pair<double, double>> svg_line_points(const std::string& svg) {
  std::vector<std::pair<double, double>> out;
  static const std::regex line(R"re(<poly(?:line|gon) points="([^"]*)")re");
  static const std::regex pair(R"re(([-0-9.]+),([-0-9.]+))re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), line); it != std::sregex_iterator();
       ++it) {
    const std::string pts = (*it)[1];
    for (auto p = std::sregex_iterator(pts.begin(), pts.end(), pair); p != std::sregex_iterator();
         ++p)
      out.push_back({std::stod((*p)[1]), std::stod((*p)[2])});
  }
  return out;
}

inline std::size_t count_of(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

}  // namespace qualty::testing
