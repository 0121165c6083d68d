// The Pearson-curve tables and the percentile method: the generator
// reproduces the committed files byte for byte; their cells agree with the
// gamma law (type III) and Student's t (type VII) computed by the statistics
// library; the method's bounds, interpolation, mirroring and failures.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "capability/pearson.h"
#include "pearson_curves.h"
#include "stats/distributions.h"

namespace ztq {
namespace {

const std::string kData = std::string(QUALTY_SOURCE) + "/data/";

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

double cell(int t, int row, int column) { return pearson_cell(kData, t, row, column, '.'); }

// Each value within 0.0015 + 0.002 |value| of the exact quantile, plus the
// half unit of the third decimal that the file's rounding adds.
double tolerance(double v) { return 0.0015 + 0.002 * std::fabs(v) + 0.0005; }

TEST(PearsonTables, GeneratorReproducesTheCommittedFiles) {
  const auto text = pearson::tables();
  const size_t sizes[3] = {47368, 47177, 47368};
  for (int t = 1; t <= 3; ++t) {
    const std::string file = read_file(kData + "pearson" + std::to_string(t) + ".tab");
    EXPECT_EQ(file.size(), sizes[t - 1]) << t;
    EXPECT_TRUE(file == text[static_cast<size_t>(t - 1)]) << "pearson" << t << ".tab differs";
  }
}

TEST(PearsonTables, NormalCell) {
  // Row 7 (excess kurtosis 0), column 0 (skewness 0): Phi^-1(0.99865) = 3.000.
  EXPECT_EQ(read_file(kData + "pearson1.tab").substr(7 * 248, 6), " 3.000");
  EXPECT_EQ(read_file(kData + "pearson2.tab").substr(7 * 247, 6), " 0.000");
  EXPECT_EQ(read_file(kData + "pearson3.tab").substr(7 * 248, 6), " 3.000");
}

TEST(PearsonTables, TypeThreeCellsAreGammaQuantiles) {
  // Excess kurtosis 1.5 g1^2 is the gamma law with shape k = 4 / g1^2; in
  // standard units (G - k) / sqrt(k), G = chi2(2k) / 2.
  struct Row {
    int row, column;
  };
  for (const Row& c : {Row{37, 20}, Row{127, 40}}) {
    const double g1 = c.column / 10.0, k = 4 / (g1 * g1);
    const double upper = (chisq_quantile(0.99865, 2 * k) / 2 - k) / std::sqrt(k);
    const double median = (chisq_quantile(0.5, 2 * k) / 2 - k) / std::sqrt(k);
    const double lower = (chisq_quantile(0.00135, 2 * k) / 2 - k) / std::sqrt(k);
    EXPECT_NEAR(cell(1, c.row, c.column), upper, tolerance(upper)) << g1;
    EXPECT_NEAR(cell(2, c.row, c.column), -median, tolerance(median)) << g1;
    EXPECT_NEAR(cell(3, c.row, c.column), -lower, tolerance(lower)) << g1;
  }
  // g1 = 2 is the exponential law: 3.000 from -ln(0.00135) - 1 = 5.6077, 1 - ln 2 = 0.3069.
  EXPECT_NEAR(cell(1, 37, 20), -std::log(0.00135) - 1, 0.0006);
  EXPECT_NEAR(cell(2, 37, 20), 1 - std::log(2.0), 0.0006);
}

TEST(PearsonTables, SymmetricTypeSevenCellsAreStudentT) {
  // Skewness 0, excess kurtosis e > 0: Student's t with nu = 4 + 6 / e degrees
  // of freedom, in standard units t sqrt((nu - 2) / nu).
  for (int row = 8; row <= 190; row += 7) {
    const double e = (2 * row - 14) / 10.0, nu = 4 + 6 / e;
    const double q = t_quantile(0.99865, nu) * std::sqrt((nu - 2) / nu);
    EXPECT_NEAR(cell(1, row, 0), q, tolerance(q)) << "excess kurtosis " << e;
    EXPECT_EQ(cell(1, row, 0), cell(3, row, 0));
    EXPECT_EQ(cell(2, row, 0), 0);
  }
}

TEST(PearsonTables, UniformCellIsTypeTwo) {
  // Row 1 (excess -1.2), column 0: the uniform law on +/- sqrt 3, whose
  // 99.865 % point is sqrt(3) (2 x 0.99865 - 1) = 1.72738.
  EXPECT_NEAR(cell(1, 1, 0), std::sqrt(3.0) * 0.9973, 0.0006);
  EXPECT_NEAR(cell(3, 1, 0), std::sqrt(3.0) * 0.9973, 0.0006);
  EXPECT_EQ(cell(2, 1, 0), 0);
}

TEST(PearsonTables, EmptyExactlyWhereNoCurveExists) {
  for (int r = 0; r < kPearsonRows; ++r)
    for (int c = 0; c < kPearsonColumns; ++c) {
      const double above = (20 * r + 60 - c * c) / 100.0;  // excess - (g1^2 - 2)
      const bool empty = is_missing(cell(1, r, c));
      EXPECT_EQ(is_missing(cell(2, r, c)), empty) << r << "," << c;
      EXPECT_EQ(is_missing(cell(3, r, c)), empty) << r << "," << c;
      if (above < 0) {
        EXPECT_TRUE(empty) << r << "," << c;
      }
      if (above >= 0.2) {
        EXPECT_FALSE(empty) << r << "," << c;
      }
    }
}

PearsonInput standard(double g1, double g2) {
  PearsonInput in;
  in.mean = 0;
  in.sd = 1;
  in.skewness = g1;
  in.kurtosis = g2;
  return in;
}

TEST(PearsonMethod, NormalPointReadsRowsSixAndSeven) {
  // (0 + 1.4) / 0.2 falls just below 7 in double precision: rows 6 and 7 are read.
  ASSERT_FALSE(is_missing(cell(1, 6, 0)));
  PearsonInput in = standard(0, 0);
  in.mean = 10;
  in.sd = 2;
  in.usl_given = in.lsl_given = in.nominal_given = true;
  in.usl = 16.6;
  in.lsl = 4;
  in.nominal = 10.5;
  const PearsonResults r = pearson_capability(in, kData, '.');
  ASSERT_EQ(r.message, 0);
  EXPECT_NEAR(r.upper, 16, 1e-6);  // 10 + 2 x 3.000
  EXPECT_NEAR(r.lower, 4, 1e-6);
  EXPECT_NEAR(r.median, 10, 1e-9);  // column 0 of file 2 is 0
  EXPECT_NEAR(r.cp, 12.6 / 12, 1e-6);
  EXPECT_NEAR(r.cpu, 6.6 / 6, 1e-6);
  EXPECT_NEAR(r.cpl, 1, 1e-6);
  EXPECT_EQ(r.cpk, r.cpl);
  EXPECT_NEAR(r.cr, 12 / 12.6, 1e-6);
  EXPECT_NEAR(r.k, (10 - 10.5) / 6.3, 1e-6);
}

TEST(PearsonMethod, BilinearInterpolation) {
  // g1 = 0.55, g2 = 1.1: u = 12.5, v = 5.5: the mean of the four corners.
  const PearsonResults r = pearson_capability(standard(0.55, 1.1), kData, '.');
  ASSERT_EQ(r.message, 0);
  const double v1 = (cell(1, 12, 5) + cell(1, 12, 6) + cell(1, 13, 5) + cell(1, 13, 6)) / 4;
  const double v3 = (cell(3, 12, 5) + cell(3, 12, 6) + cell(3, 13, 5) + cell(3, 13, 6)) / 4;
  EXPECT_NEAR(r.upper, v1, 1e-9);
  EXPECT_NEAR(r.lower, -v3, 1e-9);
}

TEST(PearsonMethod, NegativeSkewnessMirrors) {
  const PearsonResults plus = pearson_capability(standard(0.5, 1.0), kData, '.');
  const PearsonResults minus = pearson_capability(standard(-0.5, 1.0), kData, '.');
  ASSERT_EQ(plus.message, 0);
  ASSERT_EQ(minus.message, 0);
  EXPECT_NEAR(minus.upper, -plus.lower, 1e-12);
  EXPECT_NEAR(minus.lower, -plus.upper, 1e-12);
  EXPECT_NEAR(minus.median, -plus.median, 1e-12);
  EXPECT_LT(plus.median, 0);  // positive skewness: the median below the mean
}

TEST(PearsonMethod, BoundsAndEmptyCells) {
  struct Row {
    double g1, g2;
    int32_t want;
    const char* why;
  };
  const Row rows[] = {{0, 36.6, 0, "the last row is accepted"},
                      {0, 36.7, 1182, "beyond the last row"},
                      {0, -1.41, 1182, "before the first row"},
                      {4.0, 30, 0, "the last column"},
                      {4.01, 30, 1182, "beyond the last column"},
                      {-4.01, 30, 1182, "beyond the last column, mirrored"},
                      {2.0, 1.0, 4156, "below the two-point limit: empty cells"},
                      {0, kMissing, 1182, "no kurtosis (fewer than 4 values)"}};
  for (const Row& r : rows)
    EXPECT_EQ(pearson_capability(standard(r.g1, r.g2), kData, '.').message, r.want) << r.why;
}

TEST(PearsonMethod, MissingOrTruncatedFileGives4156) {
  EXPECT_EQ(pearson_capability(standard(0.5, 1), "/nonexistent/", '.').message, 4156);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("pearson_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  for (int t = 1; t <= 3; ++t) {
    std::string text = read_file(kData + "pearson" + std::to_string(t) + ".tab");
    if (t == 3) text.resize(1000);  // rows 0 to 3 only
    std::ofstream(dir / ("pearson" + std::to_string(t) + ".tab"), std::ios::binary) << text;
  }
  const std::string folder = dir.string() + "/";
  EXPECT_EQ(pearson_capability(standard(0.1, -1.2), folder, '.').message, 0);  // row 1: kept
  EXPECT_EQ(pearson_capability(standard(0, 0), folder, '.').message, 4156);    // rows 6, 7: cut
  std::filesystem::remove_all(dir);
}

TEST(PearsonMethod, UsersDecimalCharacter) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("pearson_comma_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  for (int t = 1; t <= 3; ++t) {
    std::string text = read_file(kData + "pearson" + std::to_string(t) + ".tab");
    for (char& ch : text)
      if (ch == '.') ch = ',';
    std::ofstream(dir / ("pearson" + std::to_string(t) + ".tab"), std::ios::binary) << text;
  }
  const PearsonResults dot = pearson_capability(standard(1.3, 4.1), kData, '.');
  const PearsonResults comma = pearson_capability(standard(1.3, 4.1), dir.string() + "/", ',');
  ASSERT_EQ(comma.message, 0);
  EXPECT_EQ(comma.upper, dot.upper);
  EXPECT_EQ(comma.median, dot.median);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace ztq
