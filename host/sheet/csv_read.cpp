// Reading a CSV file into a data sheet: the file is streamed through the
// one-pass parser in pieces of 1 MiB (a piece grows only for a longer row).
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/sheet/csv.h"
#include "host/sheet/csv_parse.h"

namespace qualty {
namespace {

using csv_detail::CsvParser;

constexpr std::size_t kPiece = std::size_t{1} << 20;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::string size_text(std::uint64_t bytes) {
  std::string t = std::to_string(bytes) + " bytes";
  if (bytes >= (std::uint64_t{1} << 30) && bytes % (std::uint64_t{1} << 30) == 0)
    t += " (" + std::to_string(bytes >> 30) + " GiB)";
  else if (bytes >= (std::uint64_t{1} << 20) && bytes % (std::uint64_t{1} << 20) == 0)
    t += " (" + std::to_string(bytes >> 20) + " MiB)";
  return t;
}

// The file's status; refuses what is no regular file or is too large.
struct stat checked_status(const std::string& path, const CsvOptions& options) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    throw SheetError("cannot open the data file \"" + path + "\"");
  if (S_ISDIR(st.st_mode))
    throw SheetError("cannot read the data file \"" + path + "\": it is a folder");
  if (!S_ISREG(st.st_mode))
    throw SheetError("cannot read the data file \"" + path +
                     "\": it is no regular file (a device, a pipe or a socket)");
  if (options.max_bytes != 0 && static_cast<std::uint64_t>(st.st_size) > options.max_bytes)
    throw FileTooLarge("the data file \"" + path + "\" holds " +
                       size_text(static_cast<std::uint64_t>(st.st_size)) +
                       ", more than the limit of " + size_text(options.max_bytes));
  return st;
}

// Feeds the whole file to the parser, piece by piece.
void stream(const std::string& path, const CsvOptions& options, CsvParser& parser,
            std::uint64_t file_size) {
  const File file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) throw SheetError("cannot open the data file \"" + path + "\"");
  std::vector<char> piece(kPiece);
  std::size_t have = 0;
  std::uint64_t total = 0;
  bool first = true;
  for (;;) {
    const std::size_t want = piece.size() - have;
    const std::size_t got = std::fread(piece.data() + have, 1, want, file.get());
    if (std::ferror(file.get())) throw SheetError("cannot read the data file \"" + path + "\"");
    total += got;
    if (options.max_bytes != 0 && total > options.max_bytes)
      throw FileTooLarge("the data file \"" + path + "\" grew beyond the limit of " +
                         size_text(options.max_bytes) + " while it was read");
    have += got;
    const bool eof = got < want && std::feof(file.get());
    if (first) {
      // The rows to expect, from the line length of the first piece.
      const auto lines =
          static_cast<std::uint64_t>(std::count(piece.data(), piece.data() + have, '\n'));
      if (lines > 0 && have > 0 && !eof)
        parser.expect_rows(static_cast<std::size_t>(std::min<std::uint64_t>(
            file_size / have * lines + file_size % have * lines / have + lines / 50 + 16,
            kMaxRows)));
      first = false;
    }
    const std::size_t used = parser.feed(piece.data(), piece.data() + have, eof);
    if (eof) return;
    std::memmove(piece.data(), piece.data() + used, have - used);
    have -= used;
    if (have == piece.size()) piece.resize(piece.size() * 2);  // one row longer than a piece
  }
}

}  // namespace

CsvLoad read_csv(std::string_view text, const CsvOptions& options) {
  CsvParser parser(options);
  parser.expect_rows(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::string writable(text);  // the parser may rewrite decimal commas in place
  parser.feed(writable.data(), writable.data() + writable.size(), true);
  if (parser.needs_texts()) {
    writable.assign(text);
    CsvParser second(options);
    second.collect_texts_from(parser);
    second.feed(writable.data(), writable.data() + writable.size(), true);
  }
  return parser.finish();
}

CsvLoad read_csv_file(const std::string& path, const CsvOptions& options) {
  const struct stat before = checked_status(path, options);
  try {
    CsvParser parser(options);
    const auto size = static_cast<std::uint64_t>(before.st_size);
    stream(path, options, parser, size);
    if (parser.needs_texts()) {
      const struct stat now = checked_status(path, options);
      if (now.st_size != before.st_size || now.st_mtim.tv_sec != before.st_mtim.tv_sec ||
          now.st_mtim.tv_nsec != before.st_mtim.tv_nsec)
        throw SheetError("the file changed while it was read");
      CsvParser second(options);
      second.collect_texts_from(parser);
      stream(path, options, second, size);
    }
    return parser.finish();
  } catch (const FileTooLarge&) {
    throw;
  } catch (const SheetError& e) {
    if (std::strncmp(e.what(), "cannot ", 7) == 0) throw;
    throw SheetError(path + ": " + e.what());
  }
}

}  // namespace qualty
