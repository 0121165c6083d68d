// Writes pearson1.tab, pearson2.tab and pearson3.tab into the folder given
// (the current folder by default): each through a temporary file that is
// renamed into place.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "pearson_curves.h"

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : ".";
  const std::array<std::string, 3> text = pearson::tables();
  for (int t = 1; t <= 3; ++t) {
    const std::filesystem::path file = folder / ("pearson" + std::to_string(t) + ".tab");
    const std::filesystem::path temp = file.string() + ".tmp";
    {
      std::ofstream out(temp, std::ios::binary);
      out << text[static_cast<size_t>(t - 1)];
      if (!out) {
        std::fprintf(stderr, "make_pearson_tables: cannot write %s\n", temp.c_str());
        return 1;
      }
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
      std::fprintf(stderr, "make_pearson_tables: cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}
