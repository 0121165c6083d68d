// Loading a CSV of 10^6 rows x 4 numeric columns into the data sheet and
// reading one column into a data block (as the module reads a variable),
// against a plain std::from_chars read of the same file into four vectors.
// The target: the sheet within 3 times the plain read.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/sheet/csv.h"
#include "host/sheet/spread_ops.h"

namespace {

constexpr std::size_t kRows = 1'000'000;
constexpr std::size_t kColumns = 4;

// A temporary file of measurements such as 10.0123, written once per run.
class DataFile {
 public:
  DataFile() {
    path_ = (std::filesystem::temp_directory_path() /
             ("qualty_bench_sheet_" + std::to_string(::getpid()) + ".csv"))
                .string();
    std::mt19937_64 random(20240601);
    std::normal_distribution<double> value(10.0, 0.05);
    std::string text = "a,b,c,d\n";
    char cell[32];
    for (std::size_t r = 0; r < kRows; ++r) {
      for (std::size_t c = 0; c < kColumns; ++c) {
        const auto res =
            std::to_chars(cell, cell + sizeof cell, value(random), std::chars_format::fixed, 4);
        text.append(cell, res.ptr);
        text.push_back(c + 1 < kColumns ? ',' : '\n');
      }
    }
    std::ofstream(path_, std::ios::binary) << text;
    bytes_ = text.size();
  }
  ~DataFile() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }
  std::size_t bytes() const { return bytes_; }

 private:
  std::string path_;
  std::size_t bytes_ = 0;
};

const DataFile& data_file() {
  static const DataFile file;
  return file;
}

std::string slurp(const std::string& path) {
  std::string text;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  char chunk[1 << 16];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, got);
  std::fclose(f);
  return text;
}

// The baseline: the whole file read, every cell converted with from_chars.
void BM_PlainFromChars(benchmark::State& state) {
  const DataFile& file = data_file();
  for (auto _ : state) {
    const std::string text = slurp(file.path());
    std::vector<std::vector<double>> columns(kColumns);
    for (auto& col : columns) col.reserve(kRows);
    const char* p = text.data() + text.find('\n') + 1;
    const char* end = text.data() + text.size();
    while (p < end) {
      for (std::size_t c = 0; c < kColumns; ++c) {
        double v = 0;
        const auto res = std::from_chars(p, end, v);
        columns[c].push_back(v);
        p = res.ptr + 1;  // past the comma or the line end
      }
    }
    benchmark::DoNotOptimize(columns.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.bytes()));
}
BENCHMARK(BM_PlainFromChars)->Unit(benchmark::kMillisecond);

// The data sheet: load, then read column 1 through the component's table
// into a block of 8 bytes a row.
void BM_LoadSheetAndReadColumn(benchmark::State& state) {
  const DataFile& file = data_file();
  for (auto _ : state) {
    qualty::CsvLoad load = qualty::read_csv_file(file.path());
    qualty::SpreadState spread(load.sheet);
    const ZtSpread ops = qualty::make_spread_ops(spread);
    const int32_t rows = ops.SheetRowCount(ops.self);
    std::vector<double> block(static_cast<std::size_t>(rows));
    ops.BeginSheetAccess(ops.self, 1);
    for (int32_t r = 1; r <= rows; ++r) ops.ReadCell(ops.self, 1, r, &block[r - 1]);
    ops.EndSheetAccess(ops.self);
    benchmark::DoNotOptimize(block.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.bytes()));
}
BENCHMARK(BM_LoadSheetAndReadColumn)->Unit(benchmark::kMillisecond);

}  // namespace
