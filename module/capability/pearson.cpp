// Clements (1989), Process capability calculations for non-normal
// distributions, Quality Progress 22(9), 95-100: percentiles of the Pearson
// curve by bilinear interpolation in tables of standardized distances.
#include "capability/pearson.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace ztq {

namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

}  // namespace

double pearson_cell(const std::string& folder, int table, int row, int column, char decimal) {
  if (table < 1 || table > 3 || row < 0 || row >= kPearsonRows || column < 0 ||
      column >= kPearsonColumns)
    return kMissing;
  std::ifstream in(folder + kPearsonFiles[table - 1], std::ios::binary);
  if (!in) return kMissing;
  in.seekg(static_cast<std::streamoff>(row) * kPearsonRowBytes[table - 1] + 6 * column);
  char field[7] = {};
  if (!in.read(field, 6)) return kMissing;  // a truncated file
  bool digits = false;
  for (int i = 0; i < 6; ++i) {
    if (field[i] == decimal) field[i] = '.';
    digits = digits || (field[i] >= '0' && field[i] <= '9');
  }
  if (!digits) return kMissing;  // six blanks: an impossible combination
  char* end = nullptr;
  const double v = std::strtod(field, &end);
  while (end != nullptr && *end == ' ') ++end;
  if (end == nullptr || *end != '\0' || !std::isfinite(v)) return kMissing;
  return v;
}

PearsonResults pearson_capability(const PearsonInput& in, const std::string& folder, char decimal) {
  PearsonResults r;
  const double g1 = in.skewness, g2 = in.kurtosis;
  if (!present(g1) || !present(g2) || !present(in.mean) || !present(in.sd) || g1 < -4 || g1 > 4 ||
      g2 < -1.4 || g2 > 36.6) {
    r.message = kPearsonOutside;
    return r;
  }
  const double u = (g2 + 1.4) / 0.2, v = std::fabs(g1) / 0.1;
  const int r0 = static_cast<int>(std::floor(u)), r1 = static_cast<int>(std::ceil(u));
  const int c0 = static_cast<int>(std::floor(v)), c1 = static_cast<int>(std::ceil(v));
  const double fr = u - r0, fc = v - c0;
  double value[3];
  for (int t = 1; t <= 3; ++t) {
    const double t00 = pearson_cell(folder, t, r0, c0, decimal);
    const double t01 = pearson_cell(folder, t, r0, c1, decimal);
    const double t10 = pearson_cell(folder, t, r1, c0, decimal);
    const double t11 = pearson_cell(folder, t, r1, c1, decimal);
    if (is_missing(t00) || is_missing(t01) || is_missing(t10) || is_missing(t11)) {
      r.message = kPearsonNoCell;
      return r;
    }
    value[t - 1] =
        fr * fc * t11 + (1 - fc) * fr * t10 + (1 - fr) * fc * t01 + (1 - fc) * (1 - fr) * t00;
  }
  // The tables hold positive skewness; a negative one swaps the tails.
  const bool positive = g1 >= 0;
  const double up = positive ? value[0] : value[2];
  const double lp = positive ? value[2] : value[0];
  const double m_offset = positive ? -value[1] : value[1];
  const double U = in.mean + in.sd * up, L = in.mean - in.sd * lp, M = in.mean + in.sd * m_offset;
  if (!(L < M && M < U)) {
    r.message = kPearsonNoCell;
    return r;
  }
  r.upper = U;
  r.median = M;
  r.lower = L;
  if (in.usl_given && in.lsl_given) r.cp = (in.usl - in.lsl) / (U - L);
  if (in.usl_given) r.cpu = (in.usl - M) / (U - M);
  if (in.lsl_given) r.cpl = (M - in.lsl) / (M - L);
  if (present(r.cpu) && present(r.cpl))
    r.cpk = r.cpu < r.cpl ? r.cpu : r.cpl;
  else
    r.cpk = present(r.cpu) ? r.cpu : r.cpl;
  if (present(r.cp) && r.cp != 0) r.cr = 1.0 / r.cp;
  if (in.usl_given && in.lsl_given && in.nominal_given)
    r.k = (M - in.nominal) / ((in.usl - in.lsl) / 2.0);
  return r;
}

std::string host_program_folder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return {};
  std::string folder = exe.parent_path().string();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace ztq
