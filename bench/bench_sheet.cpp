// Reading data files into the data sheet and loading a variable into the
// module's data block, against a floor program in the same run: the whole
// file read and every cell converted with std::from_chars into four vectors.
//
// Files: 10^5, 10^6 and 10^7 rows of four measurements such as 10.0123, once
// with commas and points, once with semicolons and decimal commas (the
// targets: the reader within 1.3 times the floor, the semicolon file within
// 1.3 times the comma file), and a workbook (.xlsx) of 10^6 rows x 2 columns.
// Each benchmark reports the peak memory it added per observation (the
// resident high-water mark, reset before the run through /proc/self/clear_refs).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bridge/variables.h"
#include "host/sheet/csv.h"
#include "host/sheet/spread_ops.h"
#include "host/sheet/xlsx.h"
#include "tests/common/make_xlsx.h"

namespace {

constexpr std::size_t kColumns = 4;

// A temporary file of measurements, written once per size and dialect.
class DataFile {
 public:
  DataFile(std::size_t rows, bool semicolon) : rows_(rows) {
    path_ = (std::filesystem::temp_directory_path() /
             ("qualty_bench_sheet_" + std::to_string(::getpid()) + "_" + std::to_string(rows) +
              (semicolon ? "_sc" : "_c") + ".csv"))
                .string();
    std::mt19937_64 random(20240601);
    std::normal_distribution<double> value(10.0, 0.05);
    const char sep = semicolon ? ';' : ',';
    std::string text = semicolon ? "a;b;c;d\n" : "a,b,c,d\n";
    char cell[32];
    std::ofstream out(path_, std::ios::binary);
    for (std::size_t r = 0; r < rows; ++r) {
      for (std::size_t c = 0; c < kColumns; ++c) {
        const auto res =
            std::to_chars(cell, cell + sizeof cell, value(random), std::chars_format::fixed, 4);
        if (semicolon) *std::find(cell, res.ptr, '.') = ',';
        text.append(cell, res.ptr);
        text.push_back(c + 1 < kColumns ? sep : '\n');
      }
      if (text.size() > (1 << 20)) {
        out << text;
        bytes_ += text.size();
        text.clear();
      }
    }
    out << text;
    bytes_ += text.size();
  }
  ~DataFile() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }
  std::size_t bytes() const { return bytes_; }
  std::size_t rows() const { return rows_; }

 private:
  std::string path_;
  std::size_t bytes_ = 0;
  std::size_t rows_ = 0;
};

const DataFile& data_file(std::size_t rows, bool semicolon) {
  static std::map<std::pair<std::size_t, bool>, std::unique_ptr<DataFile>> files;
  auto& f = files[{rows, semicolon}];
  if (!f) f = std::make_unique<DataFile>(rows, semicolon);
  return *f;
}

// A fixed threshold for mmap: glibc otherwise raises it after large frees, and
// later runs would reuse memory that is resident already, hiding their peak.
const int kFixedMmapThreshold = mallopt(M_MMAP_THRESHOLD, 1 << 20);

// The resident high-water mark in bytes, and its reset.
std::size_t peak_resident() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (f == nullptr) return 0;
  char line[256];
  std::size_t kb = 0;
  while (std::fgets(line, sizeof line, f) != nullptr)
    if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::strtoull(line + 6, nullptr, 10);
  std::fclose(f);
  return kb * 1024;
}
std::size_t current_resident() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  unsigned long pages = 0, resident = 0;
  if (std::fscanf(f, "%lu %lu", &pages, &resident) != 2) resident = 0;
  std::fclose(f);
  return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}
void reset_peak() {
  if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w"); f != nullptr) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

// Runs body once per iteration and reports the peak memory it added per observation.
template <class Body>
void measured(benchmark::State& state, std::size_t observations, std::size_t bytes, Body&& body) {
  std::size_t added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ::malloc_trim(0);  // what earlier runs freed is given back, not counted as in use
    const std::size_t before = current_resident();
    reset_peak();
    state.ResumeTiming();
    body();
    state.PauseTiming();
    added = std::max(added, peak_resident() - std::min(before, peak_resident()));
    state.ResumeTiming();
  }
  state.counters["bytes_per_obs"] =
      static_cast<double>(added) / static_cast<double>(std::max<std::size_t>(observations, 1));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

std::string slurp(const std::string& path) {
  std::string text;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  char chunk[1 << 16];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, got);
  std::fclose(f);
  return text;
}

// The floor: the whole file read, every cell converted with from_chars.
void BM_Floor(benchmark::State& state) {
  const DataFile& file = data_file(static_cast<std::size_t>(state.range(0)), false);
  measured(state, file.rows() * kColumns, file.bytes(), [&] {
    const std::string text = slurp(file.path());
    std::vector<std::vector<double>> columns(kColumns);
    for (auto& col : columns) col.reserve(file.rows());
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
  });
}

void read_file(benchmark::State& state, bool semicolon) {
  const DataFile& file = data_file(static_cast<std::size_t>(state.range(0)), semicolon);
  qualty::CsvOptions options;
  options.decimal = semicolon ? ',' : '.';
  options.max_bytes = 0;
  measured(state, file.rows() * kColumns, file.bytes(), [&] {
    qualty::CsvLoad load = qualty::read_csv_file(file.path(), options);
    const std::size_t rows = load.sheet.column(0).numbers.size();
    benchmark::DoNotOptimize(rows);
  });
}
void BM_ReadCsvComma(benchmark::State& state) { read_file(state, false); }
void BM_ReadCsvSemicolonDecimalComma(benchmark::State& state) { read_file(state, true); }

// The loading path of one variable: the sheet read, then column 1 loaded
// into a data block of the record as the module loads it (ReadCell a row).
void BM_LoadSheetAndVariable(benchmark::State& state) {
  const DataFile& file = data_file(static_cast<std::size_t>(state.range(0)), false);
  qualty::CsvOptions options;
  options.max_bytes = 0;
  measured(state, file.rows(), file.bytes(), [&] {
    qualty::CsvLoad load = qualty::read_csv_file(file.path(), options);
    qualty::SpreadState spread(load.sheet);
    ZtSpread ops = qualty::make_spread_ops(spread);
    VariableSlot slot{};
    std::strcpy(slot.expression, "a");
    ztq::load_slot(&ops, slot, static_cast<int32_t>(load.sheet.row_count()), nullptr);
    benchmark::DoNotOptimize(slot.data);
    ztq::free_slot(slot);
  });
}

// Workbooks written for the run, removed at its end.
struct Workbooks {
  std::map<std::size_t, std::string> paths;
  ~Workbooks() {
    for (const auto& [rows, path] : paths) std::filesystem::remove(path);
  }
};

// The variable loading alone: column 1 of a sheet read once, loaded into a
// data block per iteration.
void BM_LoadVariable(benchmark::State& state) {
  const DataFile& file = data_file(static_cast<std::size_t>(state.range(0)), false);
  qualty::CsvOptions options;
  options.max_bytes = 0;
  qualty::CsvLoad load = qualty::read_csv_file(file.path(), options);
  qualty::SpreadState spread(load.sheet);
  ZtSpread ops = qualty::make_spread_ops(spread);
  measured(state, file.rows(), file.rows() * sizeof(double), [&] {
    VariableSlot slot{};
    std::strcpy(slot.expression, "a");
    ztq::load_slot(&ops, slot, static_cast<int32_t>(load.sheet.row_count()), nullptr);
    benchmark::DoNotOptimize(slot.data);
    ztq::free_slot(slot);
  });
}

// A workbook of rows x 2 (a sample number and a measurement), written once.
const std::string& workbook(std::size_t rows) {
  static Workbooks books;
  std::string& path = books.paths[rows];
  if (!path.empty()) return path;
  path = (std::filesystem::temp_directory_path() /
          ("qualty_bench_" + std::to_string(::getpid()) + "_" + std::to_string(rows) + ".xlsx"))
             .string();
  std::mt19937_64 random(7);
  std::normal_distribution<double> value(10.0, 0.05);
  std::string xml =
      "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Sample</t></is></c>"
      "<c r=\"B1\" t=\"inlineStr\"><is><t>Width</t></is></c></row>";
  char cell[32];
  for (std::size_t r = 2; r <= rows + 1; ++r) {
    const std::string n = std::to_string(r);
    const auto res =
        std::to_chars(cell, cell + sizeof cell, value(random), std::chars_format::fixed, 4);
    xml += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>" + std::to_string(r / 5) +
           "</v></c><c r=\"B" + n + "\"><v>" + std::string(cell, res.ptr) + "</v></c></row>";
  }
  qualty::testing::write_xlsx(path, {{"Data", xml}});
  return path;
}

void BM_ReadXlsx(benchmark::State& state) {
  const auto rows = static_cast<std::size_t>(state.range(0));
  const std::string& path = workbook(rows);
  const auto bytes = static_cast<std::size_t>(std::filesystem::file_size(path));
  measured(state, rows * 2, bytes, [&] {
    qualty::CsvLoad load = qualty::read_xlsx_file(path, "", 0);
    const std::size_t rows = load.sheet.column(1).numbers.size();
    benchmark::DoNotOptimize(rows);
  });
}

BENCHMARK(BM_Floor)->Arg(100000)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCsvComma)->Arg(100000)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCsvSemicolonDecimalComma)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadVariable)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSheetAndVariable)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadXlsx)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
