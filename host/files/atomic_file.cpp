#include "host/files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace qualty {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinks = 40;  // as the kernel's own limit on a chain of links

std::string reason(int err) { return std::strerror(err); }

// The process's umask, read without changing it for longer than one call.
mode_t current_umask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

std::string resolve_links(const std::string& path) {
  fs::path p(path);
  for (int i = 0; i < kMaxLinks; ++i) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec))) return p.string();
    const fs::path target = fs::read_symlink(p, ec);
    if (ec) return p.string();
    p = target.is_absolute() ? target : p.parent_path() / target;
  }
  return p.string();
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  if (a.empty() || b.empty() || ::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0)
    return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool write_file_atomically(const std::string& path, std::string_view contents, std::string& error) {
  const fs::path target(resolve_links(path));
  const auto fail = [&](const std::string& why) {
    error = "cannot write " + path + ": " + why;
    return false;
  };
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return fail("not a regular file");

  // A hidden temporary name beside the target, so that the rename stays
  // within one file system and is atomic.
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> temp(name.begin(), name.end());
  temp.push_back('\0');
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return fail(reason(errno));
  const auto discard = [&](int err) {
    ::unlink(temp.data());
    return fail(reason(err));
  };

  const char* data = contents.data();
  size_t left = contents.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : EIO;
      ::close(fd);
      return discard(err);
    }
    data += n;
    left -= static_cast<size_t>(n);
  }
  const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~current_umask());
  if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
    const int err = errno;
    ::close(fd);
    return discard(err);
  }
  if (::close(fd) != 0) return discard(errno);
  if (::rename(temp.data(), target.c_str()) != 0) return discard(errno);
  return true;
}

}  // namespace qualty
