// qualty never loses a user's data: every regression here runs qualty itself.
// A failed write leaves its target as it was; no output may name an input; a
// profile that could not be read whole is never written; saved and remembered
// options pass the checks that --set passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "harness.h"

namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(QUALTY_SOURCE) + "/data/";
const std::string kChart = "run vchart --chart 0 --var data=Diameter --var subgroup=Sample ";

using harness::Outcome;
using harness::slurp;

fs::path scratch(const std::string& name) { return harness::scratch("safety-" + name); }

void put(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

// Runs "qualty ARGS" in dir through sh, after a shell prefix such as a ulimit.
Outcome qualty(const fs::path& dir, const std::string& args, const std::string& prefix = "",
               const std::string& input = "") {
  const fs::path err = dir / "stderr.log";
  const fs::path in = dir / "stdin.txt";
  put(in, input);
  const std::string cmd = "cd '" + dir.string() + "' && (" + prefix + " " + QUALTY_BIN +
                          "/qualty " + args + ") <'" + in.string() + "' 2>'" + err.string() + "'";
  Outcome r = harness::shell(cmd);
  r.err = slurp(err);
  fs::remove(err);
  fs::remove(in);
  return r;
}

// Names in dir other than the expected ones (temporary files left behind).
std::string leftovers(const fs::path& dir, std::initializer_list<std::string> expected) {
  std::string extra;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (std::find(expected.begin(), expected.end(), name) == expected.end()) extra += name + " ";
  }
  return extra;
}

// --sheet-out naming the input truncated it when the write failed half-way:
// 1,024 of 1,221 bytes were left under a 1 kB file-size limit.
TEST(Safety, SheetOutUnderAFileSizeLimitLeavesEveryTargetUntouched) {
  const fs::path dir = scratch("ulimit");
  fs::copy_file(kData + "diameters.csv", dir / "d.csv");
  const std::string data = slurp(dir / "d.csv");
  ASSERT_GT(data.size(), 1024u);
  const struct {
    const char* option;
    const char* target;
  } outputs[] = {
      {"--save --sheet-out", "sheet.csv"},    {"--analysis-out", "saved.json"},
      {"--pane 8 --format png --out", "png"}, {"--pane 8 --format pdf --out", "pdf"},
      {"--pane 8 --format svg --out", "svg"},
  };
  for (const auto& o : outputs) {
    // The old contents of every file the run would write.
    const std::string target = o.target;
    const bool folder = target.find('.') == std::string::npos;
    const fs::path old = folder ? dir / target / "pane8.png" : dir / target;
    if (folder) fs::create_directories(dir / target);
    std::string name = old.filename().string();
    if (target == "pdf") name = "pane8.pdf";
    if (target == "svg") name = "pane8.svg";
    const fs::path file = folder ? dir / target / name : old;
    put(file, "old " + std::string(1500, 'o'));  // above the limit: a rewrite must fail
    // Without trap '' XFSZ: qualty itself must turn the signal into a failed write.
    const Outcome r = qualty(dir, kChart + o.option + " " + target + " d.csv", "ulimit -f 1;");
    EXPECT_EQ(r.status, 2) << o.option << ": " << r.err;
    EXPECT_NE(r.err.find("qualty: cannot write"), std::string::npos) << r.err;
    EXPECT_EQ(slurp(file), "old " + std::string(1500, 'o')) << o.option;
    EXPECT_EQ(slurp(dir / "d.csv"), data);
    if (folder)
      EXPECT_EQ(leftovers(dir / target, {name}), "") << o.option;
    else
      EXPECT_EQ(leftovers(dir, {"d.csv", "sheet.csv", "saved.json", "png", "pdf", "svg",
                                "pane8.png", "pane8.pdf", "pane8.svg"}),
                "")
          << o.option;
  }
  fs::remove_all(dir);
}

// --analysis-out naming the data file overwrote it with the analysis, exit 0.
TEST(Safety, OutputNamingAnInputIsRefused) {
  const fs::path dir = scratch("names");
  fs::copy_file(kData + "diameters.csv", dir / "d.csv");
  const std::string data = slurp(dir / "d.csv");
  fs::create_symlink("d.csv", dir / "link.csv");
  fs::create_hard_link(dir / "d.csv", dir / "hard.csv");
  fs::create_directories(dir / "out");
  fs::create_symlink("../d.csv", dir / "out" / "pane1.txt");
  put(dir / "q.ini", "[Graph]\n");
  const char* clashes[] = {
      "--analysis-out d.csv d.csv",
      "--analysis-out ./d.csv d.csv",
      "--save --sheet-out d.csv d.csv",
      "--sheet-out link.csv d.csv",
      "--analysis-out hard.csv d.csv",
      "--out out d.csv",
      "--sheet-out q.ini --profile q.ini d.csv",
  };
  for (const char* args : clashes) {
    const Outcome r = qualty(dir, kChart + args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("an input is never overwritten"), std::string::npos) << r.err;
    EXPECT_EQ(slurp(dir / "d.csv"), data) << args;
  }
  EXPECT_EQ(slurp(dir / "q.ini"), "[Graph]\n");
  const Outcome fine = qualty(dir, kChart + "--analysis-out a.json d.csv");
  EXPECT_EQ(fine.status, 0) << fine.err;
  const Outcome reopened = qualty(dir, "reopen a.json d.csv --analysis-out a.json");
  EXPECT_EQ(reopened.status, 2) << "the reopened file is an input too";
  fs::remove_all(dir);
}

TEST(Safety, ProfileUnderAFileSizeLimitIsLeftAsItWas) {
  const fs::path dir = scratch("profile-limit");
  fs::copy_file(kData + "diameters.csv", dir / "d.csv");
  const std::string text = "; mine\n[Other]\nkey=" + std::string(2000, 'v') + "\n";
  put(dir / "q.ini", text);
  const Outcome r = qualty(dir, "--profile q.ini " + kChart + "--set option34=6 --remember d.csv",
                           "ulimit -f 1;");
  EXPECT_NE(r.err.find("cannot write the profile"), std::string::npos) << r.err;
  EXPECT_EQ(slurp(dir / "q.ini"), text);
  EXPECT_EQ(leftovers(dir, {"d.csv", "q.ini"}), "");
  fs::remove_all(dir);
}

TEST(Safety, HugeAnalysisFileIsRefusedUnread) {
  const fs::path dir = scratch("huge");
  fs::copy_file(kData + "diameters.csv", dir / "d.csv");
  { std::ofstream(dir / "big.json") << "{"; }
  fs::resize_file(dir / "big.json", 1ull << 30);  // 1 GB, sparse
  const Outcome r = qualty(dir, "reopen big.json d.csv");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("too large"), std::string::npos) << r.err;
  fs::remove_all(dir);
}

// One malformed line erased every section of the profile at the next save.
TEST(Safety, MalformedProfileIsLeftIntact) {
  const fs::path dir = scratch("profile");
  fs::copy_file(kData + "diameters.csv", dir / "d.csv");
  const std::string text =
      "; kept by hand\n[Other]\nkey=value\n[Graph\n[VCHART]\noption34=4\n[Intl]\nsDecimal=.\n";
  put(dir / "q.ini", text);
  const Outcome r = qualty(dir, "--profile q.ini " + kChart + "--set option34=6 d.csv");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(slurp(dir / "q.ini"), text);
  size_t warnings = 0;
  for (size_t at = r.err.find("malformed"); at != std::string::npos;
       at = r.err.find("malformed", at + 1))
    ++warnings;
  EXPECT_EQ(warnings, 1u) << "warned once: " << r.err;
  fs::remove_all(dir);
}

TEST(Safety, SymlinkedProfileIsFollowedAndKept) {
  const fs::path dir = scratch("link");
  fs::copy_file(kData + "diameters.csv", dir / "d.csv");
  put(dir / "real.ini", "# mine\n[Other]\nx=1\n");
  fs::create_symlink("real.ini", dir / "q.ini");
  const Outcome r = qualty(dir, "--profile q.ini " + kChart + "--set option34=6 --remember d.csv");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "q.ini")));
  const std::string after = slurp(dir / "real.ini");
  EXPECT_EQ(after.rfind("# mine\n[Other]\nx=1\n", 0), 0u) << after;
  EXPECT_NE(after.find("option34=6"), std::string::npos) << after;
  fs::remove_all(dir);
}

TEST(Safety, DistRefusesNanAndPrintsNoNonFiniteNumber) {
  const fs::path dir = scratch("dist");
  const Outcome r = qualty(dir, "dist", "",
                           "norm-cdf nan\nnorm-cdf inf\nnorm-cdf -inf\nchisq-cdf 1e308 1e308\n"
                           "gamma 1e308\nnorm-cdf 0\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "error\nerror\nerror\nabort\nabort\n0.5\n");
  fs::remove_all(dir);
}

TEST(Safety, ImpossibleValuesAreRefusedWithShortMessages) {
  const fs::path dir = scratch("usage");
  fs::copy_file(kData + "diameters.csv", dir / "d.csv");
  fs::copy_file(kData + "defects.csv", dir / "defects.csv");
  const std::string long_name(120'041, 'x');
  const struct {
    std::string args;
    const char* says;
  } cases[] = {
      {"--profile . " + kChart + "d.csv", "is a folder"},
      {"run pareto --variant 99 --var raw=Defect defects.csv", "99"},
      {kChart + "--set " + long_name + "=1 d.csv", "...'"},
      {kChart + "--" + long_name + " d.csv", "xxx..."},  // unknown to the parser
  };
  for (const auto& c : cases) {
    const Outcome r = qualty(dir, c.args);
    EXPECT_EQ(r.status, 2) << c.args.substr(0, 80);
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err.substr(0, 300);
    EXPECT_EQ(r.err.rfind("qualty: ", 0), 0u) << r.err.substr(0, 300);
    EXPECT_LT(r.err.size(), 300u) << "a quoted text is cut to 80 characters";
  }
  fs::remove_all(dir);
}

// option16 = -5 in a saved analysis was applied on reopening ("A: -5 points in
// a row") although --set option16=-5 is refused.
TEST(Safety, ReopenedAnalysisWithAnOptionOutOfRangeIsRefused) {
  const fs::path dir = scratch("reopen");
  fs::copy_file(kData + "diameters.csv", dir / "d.csv");
  ASSERT_EQ(qualty(dir, kChart + "--analysis-out a.json d.csv").status, 0);
  std::string saved = slurp(dir / "a.json");
  // The option array's 17th entry (option16) holds 8, the rule's default.
  const size_t at = saved.find("\"option\"");
  ASSERT_NE(at, std::string::npos);
  size_t pos = saved.find('[', at);
  for (int k = 0; k <= 16; ++k)
    pos = saved.find_first_of("-0123456789", pos + 1) + (k < 16 ? 1 : 0);
  ASSERT_EQ(saved.compare(pos, 1, "8"), 0) << saved.substr(pos, 20);
  saved.replace(pos, 1, "-5");
  put(dir / "bad.json", saved);
  const Outcome r = qualty(dir, "reopen bad.json d.csv");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("'bad.json'"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("option16: -5 is outside"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "") << "nothing computed is printed";
  EXPECT_EQ(qualty(dir, "reopen a.json d.csv").status, 0) << "the saved file as written";
  // Found by fuzzing: 1e300 was converted to int unchecked (undefined), and
  // 2^32 - 5 wrapped to -5, past the range check.
  for (const char* value : {"4294967291", "7.7e72", "8.5"}) {
    std::string edited = saved;
    edited.replace(pos, 2, value);
    put(dir / "bad.json", edited);
    const Outcome e = qualty(dir, "reopen bad.json d.csv");
    EXPECT_EQ(e.status, 2) << value;
    EXPECT_NE(e.err.find("option"), std::string::npos) << e.err;
  }
  fs::remove_all(dir);
}

TEST(Safety, ExpressionErrorsKeepTheirPositionAndSelectionsCountRows) {
  const fs::path dir = scratch("expr");
  fs::copy_file(kData + "diameters.csv", dir / "d.csv");
  const Outcome bad = qualty(dir, "run vchart --chart 0 --var data=Nope+1 d.csv");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("role data: "), std::string::npos) << bad.err;
  EXPECT_NE(bad.err.find("position 1: unknown name"), std::string::npos) << bad.err;
  // 25 samples of 5 diameters: 125 rows, all analysed when the selection is ignored.
  const Outcome sel = qualty(dir, kChart + "--var 'select=Sample >' d.csv");
  EXPECT_EQ(sel.status, 0) << sel.err;
  EXPECT_NE(sel.err.find("is ignored"), std::string::npos) << sel.err;
  EXPECT_NE(sel.err.find("all 125 rows"), std::string::npos) << sel.err;
  fs::remove_all(dir);
}

TEST(Safety, MissingValueCodeInACellWarnsOnce) {
  const fs::path dir = scratch("code");
  put(dir / "m.csv", "Sample,Diameter\n1,74.0\n1,-32768\n2,74.1\n2,-32768\n2,73.9\n1,74\n");
  const Outcome r = qualty(dir, kChart + "m.csv");
  size_t lines = 0;
  for (size_t at = r.err.find("-32768"); at != std::string::npos; at = r.err.find("-32768", at + 1))
    ++lines;
  EXPECT_EQ(lines, 1u) << r.err;
  EXPECT_NE(r.err.find("2 cells"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("line 3"), std::string::npos) << "first on line 3: " << r.err;
  fs::remove_all(dir);
}

}  // namespace
