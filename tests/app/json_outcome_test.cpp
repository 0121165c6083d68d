// The --json outcome around the 4 MiB at which the results stop being held
// for an indented document and are passed through as the module writes
// them: a module stand-in writes the results and the violations in pieces of
// chosen sizes, and whichever way the outcome goes out it must read back as
// the document with exactly those results and violations.
#include "app/json_outcome.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace qualty {
namespace {

using nlohmann::json;

constexpr std::size_t kMiB = 1 << 20;

// What the stand-in writes: RESULTS and VIOLATIONS, each in pieces of at
// most PIECE bytes.
struct Script {
  std::string results, violations;
  std::size_t piece;
};
const Script* g_script = nullptr;

int32_t write_pieces(AnalysisRecord*, int32_t flags, QualJsonWriteFn write, void* context) {
  const std::string& text =
      (flags & ZTQ_JSON_VIOLATIONS) != 0 ? g_script->violations : g_script->results;
  for (std::size_t at = 0; at < text.size(); at += g_script->piece) {
    const std::size_t n = std::min(g_script->piece, text.size() - at);
    if (write(context, text.data() + at, static_cast<int32_t>(n)) == 0) return 0;
  }
  return 1;
}

// A JSON object of about BYTES bytes: one string member.
std::string object_of(std::size_t bytes) {
  return "{\"pad\":\"" + std::string(bytes > 10 ? bytes - 10 : 0, 'x') + "\"}";
}
std::string array_of(std::size_t bytes) {
  return "[\"" + std::string(bytes > 4 ? bytes - 4 : 0, 'y') + "\"]";
}

TEST(JsonOutcome, HeldWhileSmallPassedThroughOnceLargeEitherWayTheSameDocument) {
  struct Row {
    const char* what;
    std::size_t results, violations, piece;
    bool indented;  // the whole at most 4 MiB: parsed and printed indented
  };
  const Row rows[] = {
      {"small", 1000, 500, 64, true},
      {"exactly 4 MiB in all", 4 * kMiB - 100, 100, 1 << 16, true},
      {"one byte over, in the violations", 4 * kMiB - 100, 101, 1 << 16, false},
      {"results alone over, in large pieces", 9 * kMiB, 100, kMiB, false},
      {"results over in their first piece", 5 * kMiB, 100, 5 * kMiB, false},
      {"violations over in their first piece", 1000, 5 * kMiB, 5 * kMiB, false},
      {"empty violations after large results", 5 * kMiB, 2, kMiB, false},
  };
  for (const Row& row : rows) {
    const Script script{object_of(row.results),
                        row.violations == 2 ? std::string("[]") : array_of(row.violations),
                        row.piece};
    g_script = &script;
    ModuleExports exports;
    exports.results_json_write = write_pieces;
    std::ostringstream out;
    print_json_outcome(out, json{{"procedure", "vchart"}, {"error", 0}}, exports, nullptr,
                       JsonResults::all);
    const std::string text = out.str();
    const json doc = json::parse(text, nullptr, false);
    ASSERT_TRUE(doc.is_object()) << row.what;
    EXPECT_EQ(doc["procedure"], "vchart") << row.what;
    EXPECT_EQ(doc["results"], json::parse(script.results)) << row.what;
    EXPECT_EQ(doc["violations"], json::parse(script.violations)) << row.what;
    // Indented output has a line per member; compact output is one line.
    const bool indented = text.find("\n  \"") != std::string::npos;
    EXPECT_EQ(indented, row.indented) << row.what;
    // Results come before violations, each once.
    EXPECT_LT(text.find("\"results\""), text.find("\"violations\"")) << row.what;
    EXPECT_EQ(text.find("\"results\"", text.find("\"results\"") + 1), std::string::npos)
        << row.what;
  }
  g_script = nullptr;
}

}  // namespace
}  // namespace qualty
