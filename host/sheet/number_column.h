// The numbers of a numeric or date column of the data sheet. A column read
// from a file whose values are all decimals of at most 9 places that fit 32
// bits as integers (subgroup, part and operator numbers, counts, days, and
// measurements written with a fixed number of places; the missing value
// -32768 among them) is kept as 32-bit integers and the number of places,
// half the memory of doubles. Every read gives the same double either way; a
// write turns the column into doubles first.
#ifndef QUALTY_HOST_SHEET_NUMBER_COLUMN_H
#define QUALTY_HOST_SHEET_NUMBER_COLUMN_H

#include <bit>
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
    std::vector<std::int32_t>().swap(integers_);
    narrow_ = false;
    places_ = 0;
    return *this;
  }

  std::size_t size() const { return narrow_ ? integers_.size() : doubles_.size(); }
  bool empty() const { return size() == 0; }
  double operator[](std::size_t i) const {
    if (!narrow_) return doubles_[i];
    const std::int32_t n = integers_[i];
    if (places_ == 0) return n;
    return n == kMissingMark ? -32768.0 : n / kTens[places_];
  }
  bool is_narrow() const { return narrow_; }  // kept as 32-bit integers
  int places() const { return places_; }      // of a narrow column

  // The values for writing: doubles, those of a column of integers made first.
  std::vector<double>& values() {
    if (narrow_) {
      doubles_.resize(integers_.size());
      for (std::size_t i = 0; i < integers_.size(); ++i) doubles_[i] = (*this)[i];
      std::vector<std::int32_t>().swap(integers_);
      narrow_ = false;
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
    if (narrow_ || doubles_.empty()) return;
    std::vector<std::int32_t> w(doubles_.size());
    int k = 0;              // the fewest places every value so far needs
    std::size_t again = 0;  // values before this were written with fewer places
    for (std::size_t i = 0; i < doubles_.size(); ++i)
      while (!encode(doubles_[i], k, &w[i])) {
        if (++k > kMostPlaces) return;
        again = i;
      }
    for (std::size_t i = 0; i < again; ++i)  // with more places one may no longer fit 32 bits
      if (!encode(doubles_[i], k, &w[i])) return;
    std::vector<double>().swap(doubles_);
    integers_ = std::move(w);
    narrow_ = true;
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

  // V as N / 10^K into *OUT; false when no 32-bit N gives back V.
  static bool encode(double v, int k, std::int32_t* out) {
    constexpr std::uint64_t kMinusZero = std::uint64_t{1} << 63;  // its sign an integer loses
    if (k == 0) {  // whole numbers: every 32-bit integer
      if (!(v >= -2147483648.0 && v <= 2147483647.0)) return false;  // or NaN
      *out = static_cast<std::int32_t>(v);
      return static_cast<double>(*out) == v && std::bit_cast<std::uint64_t>(v) != kMinusZero;
    }
    if (v == -32768.0) {
      *out = kMissingMark;
      return true;
    }
    // V 10^K rounded to the nearest integer by adding and taking away 2^52
    // (exact below 2^51; anything larger fails the range test).
    const double x = v * kTens[k];
    const double r = x >= 0 ? (x + 0x1p52) - 0x1p52 : (x - 0x1p52) + 0x1p52;
    if (!(r > -2147483648.0 && r <= 2147483647.0)) return false;  // or NaN; not kMissingMark
    *out = static_cast<std::int32_t>(r);
    return r / kTens[k] == v && std::bit_cast<std::uint64_t>(v) != kMinusZero;
  }

  std::vector<double> doubles_;
  std::vector<std::int32_t> integers_;
  bool narrow_ = false;
  int places_ = 0;
};

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_NUMBER_COLUMN_H
