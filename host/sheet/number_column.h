// The numbers of a numeric or date column of the data sheet. A column read
// from a file whose values are all whole numbers of 32 bits (subgroup, part
// and operator numbers, counts, days; the missing value -32768 among them) is
// kept as 32-bit integers, half the memory of doubles. Every read gives the
// same double either way; a write turns the column into doubles first.
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
    return *this;
  }

  std::size_t size() const { return whole_ ? wholes_.size() : doubles_.size(); }
  bool empty() const { return size() == 0; }
  double operator[](std::size_t i) const {
    return whole_ ? static_cast<double>(wholes_[i]) : doubles_[i];
  }
  bool is_whole() const { return whole_; }  // kept as 32-bit integers

  // The values for writing: doubles, those of a column of integers made first.
  std::vector<double>& values() {
    if (whole_) {
      doubles_.assign(wholes_.begin(), wholes_.end());
      std::vector<std::int32_t>().swap(wholes_);
      whole_ = false;
    }
    return doubles_;
  }
  void clear() { *this = std::vector<double>(); }
  void resize(std::size_t n, double v) { values().resize(n, v); }

  // Keeps the column as 32-bit integers when every value is a whole number
  // that one holds exactly (not -0, whose sign an integer would lose).
  void keep_whole_numbers_narrow() {
    if (whole_ || doubles_.empty()) return;
    for (const double v : doubles_)
      if (!fits(v)) return;
    std::vector<std::int32_t> w(doubles_.size());
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = static_cast<std::int32_t>(doubles_[i]);
    std::vector<double>().swap(doubles_);
    wholes_ = std::move(w);
    whole_ = true;
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
  static bool fits(double v) {
    if (!(v >= -2147483648.0 && v <= 2147483647.0)) return false;              // or NaN
    if (static_cast<double>(static_cast<std::int32_t>(v)) != v) return false;  // not whole
    return !(v == 0.0 && std::signbit(v));  // -0 would read back as 0
  }

  std::vector<double> doubles_;
  std::vector<std::int32_t> wholes_;
  bool whole_ = false;
};

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_NUMBER_COLUMN_H
