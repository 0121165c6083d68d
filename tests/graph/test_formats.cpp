// PNG and PDF files: they open, and have the requested size.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/graph/graph_file.h"
#include "sample_graphs.h"

namespace qualty {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string temp_path(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("qualty_graph_" + name)).string();
}

// Width and height from the IHDR chunk: bytes 16..23, big-endian (W3C PNG, second edition,
// section 11.2.2).
std::pair<uint32_t, uint32_t> png_size(const std::string& data) {
  const auto word = [&](std::size_t at) {
    uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(data[at + i]);
    return v;
  };
  return {word(16), word(20)};
}

TEST(GraphFormats, PngHasTheRequestedPixelSize) {
  const std::pair<int, int> sizes[] = {{800, 500}, {1100, 800}, {321, 123}};
  for (const auto& [w, h] : sizes) {
    auto sample = testing::six_panel();
    sample->d.layout.width = w, sample->d.layout.height = h;
    const std::string path = temp_path("size.png");
    std::string error;
    ASSERT_TRUE(write_graph_file(copy_graph(sample->finish()), GraphFormat::png, path, &error))
        << error;
    const std::string data = slurp(path);
    ASSERT_GT(data.size(), 24u);
    EXPECT_EQ(data.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(data.substr(12, 4), "IHDR");
    EXPECT_EQ(png_size(data), std::make_pair(static_cast<uint32_t>(w), static_cast<uint32_t>(h)));
    std::remove(path.c_str());
  }
}

TEST(GraphFormats, PdfHasThePageSize) {
  auto sample = testing::report();  // 1000 x 760 points
  const std::string path = temp_path("report.pdf");
  std::string error;
  ASSERT_TRUE(write_graph_file(copy_graph(sample->finish()), GraphFormat::pdf, path, &error))
      << error;
  const std::string data = slurp(path);
  EXPECT_EQ(data.rfind("%PDF-", 0), 0u);
  EXPECT_NE(data.find("/MediaBox [ 0 0 1000 760 ]"), std::string::npos);
  EXPECT_NE(data.find("%%EOF"), std::string::npos);
  std::remove(path.c_str());
}

TEST(GraphFormats, SvgFileIsTheRenderedDocument) {
  auto sample = testing::pareto();
  const Graph g = copy_graph(sample->finish());
  const std::string path = temp_path("pareto.svg");
  ASSERT_TRUE(write_graph_file(g, GraphFormat::svg, path));
  EXPECT_EQ(slurp(path), render_svg(g));
  std::remove(path.c_str());
}

TEST(GraphFormats, UnwritablePathIsReported) {
  auto sample = testing::histogram();
  const Graph g = copy_graph(sample->finish());
  for (GraphFormat f : {GraphFormat::svg, GraphFormat::png, GraphFormat::pdf}) {
    std::string error;
    EXPECT_FALSE(write_graph_file(g, f, "/nonexistent-dir/x/graph", &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(GraphFormats, FormatNames) {
  EXPECT_EQ(parse_graph_format("PNG"), GraphFormat::png);
  EXPECT_EQ(parse_graph_format("svg"), GraphFormat::svg);
  EXPECT_EQ(parse_graph_format("Pdf"), GraphFormat::pdf);
  EXPECT_FALSE(parse_graph_format("jpeg").has_value());
  EXPECT_FALSE(parse_graph_format("").has_value());
}

}  // namespace
}  // namespace qualty
