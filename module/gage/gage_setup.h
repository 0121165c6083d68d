// The setup of a long-form gage study: the run list of appraisers x parts x
// trials in run order, with the part order optionally drawn at random for
// every appraiser and trial.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ztq {

// The linear congruential generator of the plan: state = state x 214013 +
// 2531011 (mod 2^32), each draw (state >> 16) & 32767.
class PlanRandom {
 public:
  explicit PlanRandom(uint32_t seed) : state_(seed) {}
  int32_t next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int32_t>((state_ >> 16) & 32767u);
  }

 private:
  uint32_t state_;
};

struct PlanOptions {
  int32_t a = 3, p = 10, t = 3;
  bool randomise = false;
  bool user_names = false;
  std::vector<std::string> names;  // up to 18; used when user_names
  uint32_t seed = 0;
};

struct GagePlan {
  int32_t a = 0, p = 0, t = 0;
  std::vector<std::string> names;  // per appraiser: cut to 20, trailing blanks removed
  std::vector<int32_t> part;       // per run, in run order: the part number 1..P
  size_t runs() const { return part.size(); }
  // Run i (0-based): appraiser index and trial number follow from the order.
  int32_t appraiser_of(size_t i) const { return static_cast<int32_t>(i / (size_t(p) * t)); }
  int32_t trial_of(size_t i) const { return static_cast<int32_t>((i / size_t(p)) % size_t(t)) + 1; }
};

// The run list: for each appraiser, for each trial, the P parts in their order.
GagePlan build_plan(const PlanOptions& o);

// The appraiser's name as the plan uses it: the user's name cut to 20
// characters without trailing blanks, or the letter "A" + i when the names are
// not user-defined or the name is empty.
std::string appraiser_name(const PlanOptions& o, int i);

}  // namespace ztq
