// The shortest decimal text of a double that reads back as the same double.
#pragma once

#include <cstdint>

namespace ztq {

// Writes at P the text std::to_chars(P, END, V) writes for a finite V (the
// shortest digits that read back as V, the nearest of them to V, in fixed or
// scientific notation, whichever is shorter, fixed on a tie) and returns its
// end. P needs kShortestDoubleRoom bytes of room (the text is at most 24
// characters; the rest is scratch).
inline constexpr int kShortestDoubleRoom = 40;
char* write_shortest_double(char* p, double v);

// Writes F 10^E (0 < F < 10^17) as write_shortest_double writes a double
// whose shortest text that is. P needs kShortestDoubleRoom - 1 bytes of room
// (a sign may come before it).
char* write_decimal(char* p, std::uint64_t f, int e);

}  // namespace ztq
