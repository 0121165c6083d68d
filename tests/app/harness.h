// Running the built qualty as a black box, with a profile file of the test's
// own, standard output and standard error apart.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace harness {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

inline std::string temp_prefix() { return "qualty-app-" + std::to_string(getpid()) + "-"; }

// Removes this process's scratch paths when the test program ends.
struct ScratchSweeper {
  ScratchSweeper() = default;
  ScratchSweeper(const ScratchSweeper&) = delete;
  ScratchSweeper& operator=(const ScratchSweeper&) = delete;
  ~ScratchSweeper() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string prefix = temp_prefix();
    std::vector<fs::path> mine;
    for (fs::directory_iterator it(fs::temp_directory_path(ec), ec), end; !ec && it != end;
         it.increment(ec))
      if (it->path().filename().string().rfind(prefix, 0) == 0) mine.push_back(it->path());
    for (const fs::path& p : mine) fs::remove_all(p, ec);
  }
};

// A scratch path of this process (ctest runs test programs side by side).
inline std::filesystem::path temp(const std::string& name) {
  static ScratchSweeper sweeper;
  return std::filesystem::temp_directory_path() / (temp_prefix() + name);
}

// A scratch folder of this process, emptied first when FRESH.
inline std::filesystem::path scratch(const std::string& name, bool fresh = true) {
  const std::filesystem::path dir = temp("dir-" + name);
  if (fresh) std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Runs a shell command line: its exit status and standard output (standard
// error goes where the line sends it).
inline Outcome shell(const std::string& cmd) {
  Outcome r{-1, {}, {}};
  FILE* pipe = popen(cmd.c_str(), "r");
  if (pipe == nullptr) return r;
  std::array<char, 4096> buf{};
  size_t n = 0;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
  const int st = pclose(pipe);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

// Runs qualty with the arguments and a profile file (absent unless a run
// writes it); PREFIX: shell words before the command ("ulimit -v 1000;").
inline Outcome qualty(const std::string& args, const std::string& profile = "profile.ini",
                      const std::string& prefix = "") {
  const std::filesystem::path err = temp("stderr.txt");
  Outcome r = shell(prefix + std::string(QUALTY_BIN) + "/qualty --profile " +
                    temp(profile).string() + " " + args + " 2>" + err.string());
  r.err = slurp(err);
  return r;
}

// Runs qualty with a profile holding TEXT (empty: a fresh profile).
inline Outcome qualty_with_profile(const std::string& args, const std::string& text,
                                   const std::string& prefix = "") {
  std::ofstream(temp("given-profile.ini")) << text;
  return qualty(args, "given-profile.ini", prefix);
}

}  // namespace harness
