// File to summary pane, whole processes: `qualty run vchart --pane 1` on a
// CSV of 10^6 and 10^7 observations (a value and its subgroup number
// per row) for X-bar/R (subgroups of 5),
// individuals, EWMA and tabular cumulative sums, against a floor measured in
// the same run (read the file and parse every number with std::from_chars).
// Prints CPU seconds (each the median of five processes, taken by turns with
// five of the floor), the ratio to the floor, the same against the warm floor
// (the parse repeated in this process), and the peak resident memory in bytes
// per observation (whole, and above the fixed peak of a one-row run); then
// --json with and without the series at 10^6 (seven of each and of the pane,
// by turns).
// Sizes: the arguments (default 100000 1000000 10000000).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Knuth's MMIX linear congruential generator, three uniforms summed: a
// roughly bell-shaped spread about 10.
// With SAMPLE, each row also carries its subgroup number (5 rows a subgroup).
void write_csv(const std::string& path, std::size_t n, bool sample = true) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  std::fputs(sample ? "Value,Sample\n" : "Value\n", f);
  std::uint64_t s = 12345;
  auto next = [&s] {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(s >> 11) / 9007199254740992.0;
  };
  for (std::size_t i = 0; i < n; ++i) {
    const double x = 10.0 + (next() + next() + next() - 1.5);
    if (sample)
      std::fprintf(f, "%.6f,%zu\n", x, i / 5 + 1);
    else
      std::fprintf(f, "%.6f\n", x);
  }
  std::fclose(f);
}

// The floor: the file read whole and every number parsed into a column.
std::size_t parse_file(const std::string& path) {
  std::string text;  // read whole in one call (a character iterator would be the slower part)
  if (std::FILE* f = std::fopen(path.c_str(), "rb"); f != nullptr) {
    std::fseek(f, 0, SEEK_END);
    text.resize(static_cast<std::size_t>(std::max(0L, std::ftell(f))));
    std::fseek(f, 0, SEEK_SET);
    text.resize(std::fread(text.data(), 1, text.size(), f));
    std::fclose(f);
  }
  std::vector<double> column;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end && *p != '\n') ++p;  // the header
  while (p < end) {
    ++p;  // the line end or the comma before the number
    double v = 0;
    const auto r = std::from_chars(p, end, v);
    if (r.ec == std::errc()) column.push_back(v);
    p = r.ptr;
  }
  return column.size();
}

double seconds(const rusage& u) {
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

double cpu_now() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return seconds(u);
}

// The floor as a process of its own (a child that parses and exits), its
// memory as fresh as a run's and its time counted the same way. The warm
// floor: the benchmark's own parse again and again in one process, which
// reuses the memory the parse before it freed (the median of five after one
// to warm up). Negative when no number was read.
double fresh_floor_once(const std::string& path) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) _exit(parse_file(path) > 0 ? 0 : 1);
  int status = 0;
  rusage u{};
  const bool ok =
      pid > 0 && wait4(pid, &status, 0, &u) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return ok ? seconds(u) : -1.0;
}

double warm_floor(const std::string& path) {
  if (parse_file(path) == 0) return -1.0;
  double t[5];
  for (double& x : t) {
    const double start = cpu_now();
    parse_file(path);
    x = cpu_now() - start;
  }
  std::sort(t, t + 5);
  return t[2];
}

struct Run {
  double cpu = 0;         // user + system seconds of the child
  double peak_bytes = 0;  // its largest resident set
  bool ok = false;
};

Run run(const std::vector<std::string>& args) {
  Run out;
  std::fflush(stdout);  // or the child's copy of the buffer is written again
  const pid_t pid = fork();
  if (pid == 0) {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(127);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage u{};
  if (wait4(pid, &status, 0, &u) != pid) return out;
  out.cpu = static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
            1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
  out.peak_bytes = 1024.0 * static_cast<double>(u.ru_maxrss);
  out.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return out;
}

// A run and the fresh floor by turns, five times: the medians of each, so
// that the ratio is taken between times measured side by side on a shared
// machine whose times drift.
// The median of five runs (by CPU time).
Run median_of(const std::vector<std::string>& args) {
  Run r[5];
  for (Run& x : r) x = run(args);
  std::sort(r, r + 5, [](const Run& a, const Run& b) { return a.cpu < b.cpu; });
  return r[2];
}

struct Pair {
  Run run;
  double floor = 0;
};

Pair side_by_side(const std::vector<std::string>& args, const std::string& file) {
  Run r[5];
  double f[5];
  for (int k = 0; k < 5; ++k) {
    f[k] = fresh_floor_once(file);
    r[k] = run(args);
  }
  std::sort(r, r + 5, [](const Run& a, const Run& b) { return a.cpu < b.cpu; });
  std::sort(f, f + 5);
  return {r[2], f[2]};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::size_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoull(argv[i], nullptr, 10));
  if (sizes.empty()) sizes = {100000, 1000000, 10000000};
  const std::string qualty = std::string(QUALTY_BENCH_BIN) + "/qualty";
  const std::string dir = std::filesystem::temp_directory_path().string();
  struct Chart {
    const char* name;
    const char* code;
    bool sized;
  };
  const Chart charts[] = {{"X-bar/R (n 5)", "0", true},
                          {"individuals", "3", false},
                          {"EWMA", "9", false},
                          {"tabular cusum", "15", false}};
  // The fixed part of the peak: the same run on a file of one row (the loaded
  // libraries and resource texts, about 10 MB), shown apart so that bytes per
  // observation at 10^6 can be read both ways.
  const std::string tiny = dir + "/bench_lean_tiny_" + std::to_string(getpid()) + ".csv";
  write_csv(tiny, 1);
  const double fixed = median_of({qualty, "run", "vchart", "--chart", "3", "--var", "data=Value",
                                  "--pane", "1", tiny})
                           .peak_bytes;
  std::remove(tiny.c_str());
  std::printf("fixed peak of a one-row run: %.1f MB\n", fixed / 1e6);
  std::printf("%-14s %9s %8s %8s %6s %8s %6s %9s %9s\n", "chart", "N", "floor s", "qualty s",
              "ratio", "warm s", "ratio", "bytes/obs", "above");
  for (const std::size_t n : sizes) {
    const std::string csv = dir + "/bench_lean_" + std::to_string(getpid()) + ".csv";
    write_csv(csv, n);
    const auto row = [&](const Chart& c, const std::string& file, double warm, const char* suffix) {
      std::vector<std::string> args = {qualty,  "run",        "vchart", "--chart", c.code,
                                       "--var", "data=Value", "--pane", "1"};
      if (c.sized) args.insert(args.end(), {"--var", "subgroup=Sample"});
      args.push_back(file);
      const Pair p = side_by_side(args, file);
      const Run& r = p.run;
      std::printf("%-14s %9zu %8.3f %8.3f %6.2f %8.3f %6.2f %9.1f %9.1f%s%s\n", c.name, n, p.floor,
                  r.cpu, r.cpu / p.floor, warm, r.cpu / warm, r.peak_bytes / static_cast<double>(n),
                  (r.peak_bytes - fixed) / static_cast<double>(n), suffix,
                  r.ok && p.floor > 0 ? "" : "  (failed)");
    };
    const double warm = warm_floor(csv);
    for (const Chart& c : charts) row(c, csv, warm, "");
    // The same values without the subgroup column, which the individuals
    // charts do not read but the sheet holds (8 bytes a row).
    const std::string values = dir + "/bench_lean_values_" + std::to_string(getpid()) + ".csv";
    write_csv(values, n, false);
    const double warm1 = warm_floor(values);
    for (const Chart& c : charts)
      if (!c.sized) row(c, values, warm1, "  (values only)");
    std::remove(values.c_str());
    if (n == 1000000) {
      std::vector<std::string> base = {qualty,  "run",        "vchart", "--chart", "3",
                                       "--var", "data=Value", "--pane", "1"};
      base.push_back(csv);
      std::vector<std::string> with_series = base;
      with_series.insert(with_series.end() - 1, "--json");
      std::vector<std::string> without_series = with_series;
      without_series.insert(without_series.end() - 1, "--no-series");
      // By turns, seven of each, so that a drift of the machine's speed
      // falls on all three alike.
      Run r[3][7];
      for (int k = 0; k < 7; ++k) {
        r[0][k] = run(base);
        r[1][k] = run(with_series);
        r[2][k] = run(without_series);
      }
      for (Run* runs : r)
        std::sort(runs, runs + 7, [](const Run& a, const Run& b) { return a.cpu < b.cpu; });
      const Run pane = r[0][3], with = r[1][3], without = r[2][3];
      std::printf(
          "individuals 10^6: --json %.3f s (%.2f x the summary pane), "
          "--json --no-series %.3f s (%.2f x)\n",
          with.cpu, with.cpu / pane.cpu, without.cpu, without.cpu / pane.cpu);
    }
    std::remove(csv.c_str());
  }
  return 0;
}
