// One line of the distribution calculator: "NAME ARG..." evaluated by the
// statistical library. Names and argument orders:
//   norm-cdf z | norm-cdf-of x mean sd | norm-quantile p | norm-quantile-of p mean sd
//   t-cdf t nu | t-quantile p nu | chisq-cdf x nu | chisq-quantile p nu
//   f-density x nu1 nu2 | f-cdf x nu1 nu2 | f-quantile p nu1 nu2
//   ibeta x a b | ibeta-inv p a b | gamma x | lgamma x | lgamma2 x
//   coded-density CODE P0 P1 P2 P3 x | coded-cdf CODE P0 P1 P2 P3 x
//   coded-quantile CODE P0 P1 P2 P3 p | density-integral CODE P0 P1 P2 P3 x
//   div a b | pow x y | sqrt x | exp x | ln x | log10 x
// Arguments are finite decimal numbers ("inf", "nan" and 1e400 are malformed);
// CODE is a whole number.
#pragma once

#include <string>
#include <string_view>

namespace ztq {

enum class DistStatus { ok, abort, error };

// ok: out holds the finite result as printf "%.17g"; abort: a guarded function
// met a domain error or the result is not finite, out is "abort"; error: the line is malformed
// (unknown name, wrong argument count, an argument that is not a number), out is "error".
DistStatus run_dist_line(std::string_view line, std::string& out);

}  // namespace ztq
