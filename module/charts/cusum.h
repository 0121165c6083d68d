// The cumulative sum of deviations from a target and its V-mask (codes 10
// and 13).
#pragma once

#include "charts/marks.h"

#include <cstddef>
#include <span>
#include <vector>

namespace ztq {

// Cumulative sum over FIRST..END-1 of X about TARGET into S (same length as X):
// an excluded point plots 0.0 and leaves the sum unchanged; a missing value
// has a missing sum; the sum starts at the first usable point. Adds the
// deviations of the usable points to *DEVIATION_SUM.
void cumulative_sum(std::span<const double> x, const Marks& excluded, std::size_t first,
                    std::size_t end, double target, std::vector<double>* s, double* deviation_sum);

// Lead distance d = (2 sigma^2 / (n-bar D^2)) ln(2 (1 - beta) / alpha) with
// D = delta sigma. Missing when sigma is 0 or missing, n-bar or delta is not
// positive, alpha is outside (0, 1) or beta outside [0, 1).
double vmask_lead_distance(double alpha, double beta, double delta, double sigma, double nbar);

// Arms of the V-mask with vertex at point R (0-based, usable) over the usable
// points FIRST..R: with m = 0 at R and one more for each earlier usable point,
// upper = S_R + (D / 2)(d + m), lower = S_R - (D / 2)(d + m). Every other
// position of UPPER and LOWER (sized like S) is missing.
void vmask_arms(std::span<const double> s, std::span<const double> x, const Marks& excluded,
                std::size_t first, std::size_t r, double shift, double lead,
                std::vector<double>* upper, std::vector<double>* lower);

}  // namespace ztq
