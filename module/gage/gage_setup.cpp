// The part order of a gage study plan: every free position equally likely
// for the next part, drawn by the plan's linear congruential generator
// (multiplier 214013, increment 2531011, modulus 2^32: Knuth, TAOCP vol. 2,
// 3.2.1, the linear congruential method). The k-th free
// position is found with a binary indexed tree (Fenwick 1994), so a plan of
// 500 parts costs P log P per block instead of P^2.
#include "gage/gage_setup.h"

#include <algorithm>

namespace ztq {

namespace {

// Counts of free positions, for "the (r+1)-th free position" in log time.
class FreePositions {
 public:
  explicit FreePositions(int32_t n) : tree_(static_cast<size_t>(n) + 1, 0), n_(n) {
    for (int32_t i = 1; i <= n; ++i) add(i, 1);
    top_ = 1;
    while (top_ * 2 <= n_) top_ *= 2;
  }
  void add(int32_t i, int32_t d) {
    for (; i <= n_; i += i & -i) tree_[static_cast<size_t>(i)] += d;
  }
  // The 1-based position of the k-th free one (k from 1).
  int32_t kth(int32_t k) const {
    int32_t pos = 0;
    for (int32_t step = top_; step > 0; step /= 2)
      if (pos + step <= n_ && tree_[static_cast<size_t>(pos + step)] < k) {
        pos += step;
        k -= tree_[static_cast<size_t>(pos)];
      }
    return pos + 1;
  }

 private:
  std::vector<int32_t> tree_;
  int32_t n_, top_ = 1;
};

// One permutation: part j + 1 goes to the (r + 1)-th free position, r drawn
// as R / (32767 / m) and drawn again while it is m or more (m free positions).
void draw_order(PlanRandom& rng, int32_t p, int32_t* order) {
  FreePositions free(p);
  for (int32_t j = 0; j < p; ++j) {
    const int32_t m = p - j;
    int32_t r = 0;
    do {
      r = rng.next() / (32767 / m);
    } while (r >= m);
    const int32_t pos = free.kth(r + 1);
    free.add(pos, -1);
    order[pos - 1] = j + 1;
  }
}

}  // namespace

std::string appraiser_name(const PlanOptions& o, int i) {
  std::string name;
  if (o.user_names && static_cast<size_t>(i) < o.names.size()) {
    name = o.names[static_cast<size_t>(i)].substr(0, 20);
    name.erase(name.find_last_not_of(' ') + 1);
  }
  if (name.empty()) name = std::string(1, static_cast<char>('A' + i));
  return name;
}

GagePlan build_plan(const PlanOptions& o) {
  GagePlan plan;
  plan.a = o.a;
  plan.p = o.p;
  plan.t = o.t;
  for (int i = 0; i < o.a; ++i) plan.names.push_back(appraiser_name(o, i));
  plan.part.resize(static_cast<size_t>(o.a) * o.p * o.t);
  PlanRandom rng(o.seed);
  size_t at = 0;
  for (int32_t a = 0; a < o.a; ++a)
    for (int32_t t = 0; t < o.t; ++t, at += static_cast<size_t>(o.p)) {
      if (o.randomise) {
        draw_order(rng, o.p, plan.part.data() + at);
      } else {
        for (int32_t k = 0; k < o.p; ++k) plan.part[at + static_cast<size_t>(k)] = k + 1;
      }
    }
  return plan;
}

}  // namespace ztq
