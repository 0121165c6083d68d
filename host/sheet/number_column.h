// The numbers of a numeric or date column of the data sheet. A column read
// from a file whose values are all decimals of at most 9 places that fit 32
// bits as integers (subgroup, part and operator numbers, counts, days, and
// measurements written with a fixed number of places; the missing value
// -32768 among them) is kept as 32-bit integers and the number of places,
// half the memory of doubles. Every read gives the same double either way; a
// write turns the column into doubles first.
#ifndef QUALTY_HOST_SHEET_NUMBER_COLUMN_H
#define QUALTY_HOST_SHEET_NUMBER_COLUMN_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace qualty {

class NumberColumn {
 public:
  NumberColumn() = default;
  NumberColumn(std::vector<double> v) : doubles_(std::move(v)) {}  // NOLINT: doubles as given
  NumberColumn(std::initializer_list<double> v) : doubles_(v) {}
  NumberColumn& operator=(std::initializer_list<double> v) {
    return *this = std::vector<double>(v);
  }
  NumberColumn& operator=(std::vector<double> v) {
    doubles_ = std::move(v);
    std::vector<std::int32_t>().swap(wholes_);
    whole_ = false;
    places_ = 0;
    return *this;
  }

  std::size_t size() const { return whole_ ? wholes_.size() : doubles_.size(); }
  bool empty() const { return size() == 0; }
  double operator[](std::size_t i) const {
    if (!whole_) return doubles_[i];
    const std::int32_t n = wholes_[i];
    if (places_ == 0) return n;
    return n == kMissingMark ? -32768.0 : n / kTens[places_];
  }
  bool is_narrow() const { return whole_; }  // kept as 32-bit integers
  int places() const { return places_; }     // of a narrow column

  // The values for writing: doubles, those of a column of integers made first.
  std::vector<double>& values() {
    if (whole_) {
      doubles_.resize(wholes_.size());
      for (std::size_t i = 0; i < wholes_.size(); ++i) doubles_[i] = (*this)[i];
      std::vector<std::int32_t>().swap(wholes_);
      whole_ = false;
    }
    return doubles_;
  }
  void clear() { *this = std::vector<double>(); }
  void resize(std::size_t n, double v) { values().resize(n, v); }

  // Keeps the column as 32-bit integers N and one number of places K (0 to
  // 9) when every value V is N / 10^K as a double: the quotient of two exact
  // doubles, correctly rounded as reading the text "N e-K" is, so that every
  // read gives back V. Not -0, whose sign an integer would lose.
  void keep_narrow() {
    if (whole_ || doubles_.empty()) return;
    int k = 0;                // the fewest places every value so far needs
    std::size_t checked = 0;  // values before this were checked with fewer places
    for (std::size_t i = 0; i < doubles_.size(); ++i)
      while (!fits(doubles_[i], k)) {
        if (++k > kMostPlaces) return;
        checked = i;
      }
    // With more places a value may no longer fit 32 bits.
    for (std::size_t i = 0; i < checked; ++i)
      if (!fits(doubles_[i], k)) return;
    std::vector<std::int32_t> w(doubles_.size());
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = narrow(doubles_[i], k);
    std::vector<double>().swap(doubles_);
    wholes_ = std::move(w);
    whole_ = true;
    places_ = k;
  }

  friend bool operator==(const NumberColumn& a, const NumberColumn& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (!(a[i] == b[i])) return false;
    return true;
  }
  friend bool operator==(const NumberColumn& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (!(a[i] == b[i])) return false;
    return true;
  }

 private:
  static constexpr int kMostPlaces = 9;
  static constexpr double kTens[kMostPlaces + 1] = {1e0, 1e1, 1e2, 1e3, 1e4,
                                                    1e5, 1e6, 1e7, 1e8, 1e9};
  // The missing value in a column with places (its N would not fit).
  static constexpr std::int32_t kMissingMark = INT32_MIN;

  // V * 10^K rounded to the nearest integer (by adding and taking away 2^52,
  // exact below 2^51); NaN when that is not above INT32_MIN (kMissingMark)
  // and at most INT32_MAX, or V is NaN.
  static double scaled(double v, int k) {
    const double x = v * kTens[k];
    if (!(x > -2147483649.0 && x < 2147483648.0)) return std::nan("");
    const double r = x >= 0 ? (x + 0x1p52) - 0x1p52 : (x - 0x1p52) + 0x1p52;
    return r > -2147483648.0 && r <= 2147483647.0 ? r : std::nan("");
  }
  static bool fits(double v, int k) {
    if (k == 0) {  // whole numbers: every 32-bit integer
      if (!(v >= -2147483648.0 && v <= 2147483647.0)) return false;              // or NaN
      if (static_cast<double>(static_cast<std::int32_t>(v)) != v) return false;  // not whole
      return !(v == 0.0 && std::signbit(v));  // -0 would read back as 0
    }
    if (v == -32768.0) return true;  // kept as kMissingMark
    return scaled(v, k) / kTens[k] == v && !(v == 0.0 && std::signbit(v));
  }
  static std::int32_t narrow(double v, int k) {
    if (k == 0) return static_cast<std::int32_t>(v);
    return v == -32768.0 ? kMissingMark : static_cast<std::int32_t>(scaled(v, k));
  }

  std::vector<double> doubles_;
  std::vector<std::int32_t> wholes_;
  bool whole_ = false;
  int places_ = 0;
};

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_NUMBER_COLUMN_H
