// Safe writing of every file qualty produces: the contents go to a temporary
// file in the target's folder, are flushed to the disk and closed with every
// error checked, and only then renamed over the target. On any failure (disk
// full, quota, file-size limit, read-only folder) the target is left as it was
// and the temporary file is removed.
//
// A target that is a symbolic link is followed: the file it names is replaced
// and the link kept. A new file gets mode 0666 less the umask; a replaced file
// keeps its mode.
#pragma once

#include <string>
#include <string_view>

namespace qualty {

// False with a one-line reason ("cannot write FILE: REASON") in error.
bool write_file_atomically(const std::string& path, std::string_view contents, std::string& error);

// The file a path finally names, symbolic links followed (the path itself
// when it is no link or the chain cannot be read).
std::string resolve_links(const std::string& path);

// True when both paths name the same existing file (device and inode, after
// following links), whatever their spelling.
bool same_file(const std::string& a, const std::string& b);

}  // namespace qualty
