#include "app/report_write.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace qualty {

namespace fs = std::filesystem;

bool output_folder_exists(const std::string& path, std::string& error) {
  const fs::path p(path);
  if (p.filename().empty()) {
    error = "the report path " + path + " names no file";
    return false;
  }
  const fs::path folder = p.parent_path().empty() ? fs::path(".") : p.parent_path();
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    error = "cannot write " + path + ": the folder " + folder.string() + " does not exist";
    return false;
  }
  return true;
}

bool write_file_whole(const std::string& path, const std::string& bytes, std::string& error) {
  if (!output_folder_exists(path, error)) return false;
  std::string pattern = path + ".tmpXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  const int saved = errno;
  ok = ok && fchmod(fd, 0644) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && std::rename(name.data(), path.c_str()) == 0) return true;
  error = "cannot write " + path + ": " + std::strerror(ok ? errno : saved);
  std::remove(name.data());
  return false;
}

}  // namespace qualty
