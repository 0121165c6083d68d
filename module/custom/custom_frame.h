// The custom procedure's chart frame: two axes of the user's ranges, three
// titles and up to eight reference lines, each horizontal at a Y value or
// vertical at an X value. It reads no data. Pure: settings in, frame out.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ztq {

inline constexpr int kCustomLines = 8;
inline constexpr double kCustomMinimumSpan = 1e-10;  // least axis span and increment

struct CustomAxis {
  double min = 0;
  double max = 100;
  double increment = 20;
};

struct CustomSettings {
  std::array<std::string, 3> titles;  // chart, X axis, Y axis
  CustomAxis x, y;
  std::array<double, kCustomLines> position{};      // missing (-32768.0): no line
  std::array<int32_t, kCustomLines> orientation{};  // 0 horizontal (a Y value), 1 vertical
};

struct CustomLine {
  int line = 0;  // 1 to 8
  int32_t orientation = 0;
  double position = 0;
  double from_x = 0, from_y = 0, to_x = 0, to_y = 0;
};

struct CustomFrame {
  CustomAxis x, y;
  std::array<std::string, 3> titles;
  std::vector<CustomLine> lines;  // in line order, only those with a position
};

// The input form's check of one axis: 0 when usable, else the message number
// (the maximum must exceed the minimum by 1e-10, the increment be at least 1e-10).
int32_t check_custom_axis(const CustomAxis& a);

// A horizontal line runs from [X min, position] to [X max, position], a
// vertical one from [position, Y min] to [position, Y max]; an orientation
// other than 1 counts as horizontal.
CustomFrame custom_frame(const CustomSettings& s);

// Message numbers of the axis check.
inline constexpr int32_t kCustomMaxNotAboveMin = 44200;
inline constexpr int32_t kCustomIncrementTooSmall = 44201;

}  // namespace ztq
