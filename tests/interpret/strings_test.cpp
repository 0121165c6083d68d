// The sentences the interpretation chooses by number are in the string table,
// each number once: a table merged from several hands must not define a
// sentence twice (the second text would silently replace the first).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "resources/string_table.h"

namespace ztq {
namespace {

const std::string kTable = std::string(QUALTY_SOURCE) + "/resources/qualres.txt";

TEST(SentenceStrings, NoNumberDefinedTwice) {
  std::ifstream in(kTable);
  ASSERT_TRUE(in);
  std::map<long, int> lines;
  std::string line;
  for (int at = 1; std::getline(in, line); ++at) {
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const long number = std::stol(line.substr(0, tab));
    EXPECT_EQ(lines.count(number), 0u)
        << "string " << number << " on lines " << lines[number] << " and " << at;
    lines[number] = at;
  }
}

TEST(SentenceStrings, EveryChosenSentenceHasItsText) {
  StringTable table;
  ASSERT_TRUE(table.load_file(kTable));
  // the counts, the chance and its four verdicts, the capability bands, Cpk
  // and off-centre; Pareto and custom; the error-state sentence
  std::vector<int32_t> numbers = {6083, 6084, 6085, 6086, 6087, 6088, 6089, 6090, 6110,
                                  6166, 6167, 8094, 8095, 8096, 8097, 8099, 8100, 44000};
  for (int32_t n = 8052; n <= 8068; ++n)
    numbers.push_back(n);  // 8052..8055 and 8061..8068 Pareto, 8056..8060 custom
  for (int32_t n : numbers) {
    EXPECT_TRUE(table.contains(n)) << n;
    EXPECT_FALSE(table.get(n).empty()) << n;
  }
  // the verdicts are sentences of their own: no value goes into them
  for (int32_t n : {6088, 6089, 6090, 6110}) EXPECT_EQ(table.get(n).find('%'), std::string::npos);
}

}  // namespace
}  // namespace ztq
