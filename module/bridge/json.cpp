#include "bridge/json.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "bridge/digit_words.h"
#include "bridge/shortest_double.h"
#include "stats/guarded.h"

namespace ztq {

std::string json_quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
          out += buf;
        } else {
          out.push_back(c);  // bytes above 0x7f pass through as UTF-8
        }
    }
  }
  return out + "\"";
}

namespace {

// 10^-3 to 10^17, each the double nearest to it (exact from 10^0 on).
constexpr double kTens[] = {1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};
double ten_to(int e) { return kTens[e + 3]; }

// M 10^-K for 10^7 <= M < 10^8 and 0 < K <= 10, not a whole number, in
// fixed notation at P (16 bytes of room); the end, or nullptr for any other
// M and K. The eight digits are one word (byte I the I-th digit); the zero
// bytes at its top are the trailing zeros dropped, and the point is put in
// by a second store of the digits after it.
char* put_eight_places(char* p, std::uint64_t m, int k) {
  if (m < 10000000 || m >= 100000000 || k <= 0 || k > 10) return nullptr;
  const std::uint64_t w = digit_words::eight_digits(m);
  const int kept = 8 - std::countl_zero(w ^ 0x3030303030303030ULL) / 8;  // to the last non-zero
  const int whole = 8 - k;  // digits before the point; none: "0." and 8 - K zeros
  if (kept <= whole) return nullptr;
  if (whole > 0) {
    digit_words::store8(p, w);
    p[whole] = '.';
    digit_words::store8(p + whole + 1, w >> 8 * whole);
    return p + kept + 1;
  }
  digit_words::store8(p, 0x3030303030302e30ULL);  // "0.000000"
  digit_words::store8(p + 2 - whole, w);
  return p + 2 - whole + kept;
}

// The shortest text of V that reads back as V, as to_chars writes it, for a
// V of at most 15 significant digits and 10^-3 <= |V| < 10^15 (where that
// text is always in fixed notation); nullptr for any other V. Method: with
// K = D - 1 - floor(log10 |V|) for D = 8 or 15 significant digits,
// M = round(|V| 10^K) < 10^15 < 2^50 is the only decimal of K places within
// half an ulp of V, and M / 10^K == |V| (both exact doubles, the quotient
// correctly rounded as reading the text is) is the round-trip test itself;
// M's trailing zeros dropped give the fewest digits (Steele & White 1990,
// Gay 1990: a shortest decimal that reads back).
// BUF has kShortestDoubleRoom bytes of room.
char* write_short_decimal(char* buf, double v) {
  const double a = std::fabs(v);
  if (!(a >= 1e-3 && a < 1e15)) return nullptr;
  // 2^b <= a < 2^(b+1): the exponent field of a normal double.
  const int b = static_cast<int>(std::bit_cast<std::uint64_t>(a) >> 52) - 1023;
  int e = b >= 0 ? b * 1233 >> 12 : -((-b * 1233 + 4095) >> 12);  // floor(b log10 2)
  if (a >= ten_to(e + 1)) ++e;                                    // now 10^e <= a < 10^(e+1)
  // Eight significant digits first, as most data are written (fewer digits
  // to write and zeros to drop), then fifteen; either is the only decimal
  // of its places within half an ulp of V.
  for (const int digits : {8, 15}) {
    const int k = digits - 1 - e;
    if (k < 0) continue;  // V of more than eight whole digits
    const double scale = ten_to(k);
    // Rounded to the nearest integer (ties to even) by adding and taking
    // away 2^52, exact below 2^52 (a * scale < 10^15).
    const double m = (a * scale + 0x1p52) - 0x1p52;
    if (m / scale != a) continue;
    if (v < 0) *buf++ = '-';
    const auto whole_m = static_cast<std::uint64_t>(m);
    if (digits == 8)
      if (char* end = put_eight_places(buf, whole_m, k)) return end;
    return write_decimal(buf, whole_m, -k);  // fixed: 10^-3 <= |V| < 10^15
  }
  return nullptr;
}

// A whole number below 2^53 as an integer ("1000000", not "1e+06");
// nullptr for any other value.
char* write_whole(char* buf, double v) {
  if (!(std::fabs(v) < 9007199254740992.0)) return nullptr;
  const auto whole = static_cast<long long>(v);  // toward zero
  return static_cast<double>(whole) == v ? std::to_chars(buf, buf + 24, whole).ptr : nullptr;
}

// Whole numbers as integers, any other value in the shortest text that
// reads back as the same double (BUF has kShortestDoubleRoom bytes of room).
char* write_number(char* buf, double v) {
  if (char* end = write_whole(buf, v)) return end;
  if (char* end = write_short_decimal(buf, v)) return end;
  return write_shortest_double(buf, v);
}

}  // namespace

std::string json_number(double v) {
  if (is_missing(v) || !std::isfinite(v)) return "null";
  char buf[kShortestDoubleRoom];
  return std::string(buf, write_number(buf, v));
}

std::string json_numbers(std::span<const double> v) {
  std::string out = "[";
  out.reserve(v.size() * 12 + 2);
  char buf[kShortestDoubleRoom];
  for (size_t i = 0; i < v.size(); ++i) {
    if (i) out.push_back(',');
    if (is_missing(v[i]) || !std::isfinite(v[i])) {
      out += "null";
    } else {
      out.append(buf, write_number(buf, v[i]));
    }
  }
  out.push_back(']');
  return out;
}

std::string json_strings(const std::vector<std::string>& v) {
  std::string out = "[";
  for (size_t i = 0; i < v.size(); ++i) {
    if (i) out.push_back(',');
    out += json_quote(v[i]);
  }
  return out + "]";
}

void JsonSink::put(std::string_view s) {
  while (!s.empty()) {
    if (used_ == chunk_) flush();
    const std::size_t n = std::min(s.size(), chunk_ - used_);
    std::memcpy(buf_.get() + used_, s.data(), n);
    used_ += n;
    s.remove_prefix(n);
  }
}

char* JsonSink::write_value(char* p, double v) {
  if (is_missing(v) || !std::isfinite(v)) return std::copy_n("null", 4, p);
  if (char* end = write_whole(p, v)) return end;
  // After 16 values in a row that the short-decimal path could not write (a
  // series of computed values) it is tried on every 64th value only, until it
  // writes one again: the text is the same either way.
  if (short_misses_ < 16 || (++short_skipped_ & 63) == 0) {
    if (char* end = write_short_decimal(p, v)) {
      short_misses_ = 0;
      return end;
    }
    ++short_misses_;
  }
  return write_shortest_double(p, v);
}

void JsonSink::put_number(double v) { done(write_value(room(kNumber), v)); }

void JsonSink::put_repeated(double v, std::size_t count, bool first) {
  if (count == 0) return;
  if (count == 1) {  // a line of one value per point
    char* p = room(kNumber + 1);
    if (!first) *p++ = ',';
    return done(write_value(p, v));
  }
  char one[kNumber + 1];
  one[0] = ',';
  const char* end = write_value(one + 1, v);
  const auto n = static_cast<std::size_t>(end - one);
  if (first) {
    put(std::string_view(one + 1, n - 1));
    --count;
  }
  // COUNT copies of the text at P (bytes of room for them), each further
  // stretch copied from the copies before it.
  const auto fill = [&one, n](char* p, std::size_t copies) {
    std::memcpy(p, one, n);
    for (std::size_t have = n, want = copies * n; have < want;) {
      const std::size_t more = std::min(have, want - have);
      std::memcpy(p + have, p, more);
      have += more;
    }
  };
  const std::size_t per = chunk_ / n;  // copies in a full buffer
  if (count >= per) {
    // Whole buffers of copies formed once and written as often as they fit;
    // the rest are the first copies of the last, in place already.
    flush();
    fill(buf_.get(), per);
    for (; count >= per; count -= per)
      if (ok_ && write_ != nullptr)
        ok_ = write_(context_, buf_.get(), static_cast<int32_t>(per * n)) != 0;
    used_ = count * n;
    return;
  }
  if (count == 0) return;
  char* p = room(count * n);
  fill(p, count);
  done(p + count * n);
}

void JsonSink::put_quoted(std::string_view s) {
  if (s.size() + 2 <= chunk_) {  // copied as it is checked: most texts need no escape
    char* p = room(s.size() + 2);
    *p++ = '"';
    for (const char c : s) {
      if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\') {
        p = nullptr;
        break;
      }
      *p++ = c;
    }
    if (p != nullptr) {
      *p++ = '"';
      return done(p);
    }
  }
  put(json_quote(std::string(s)));
}

bool JsonSink::flush() {
  if (ok_ && used_ > 0 && write_ != nullptr)
    ok_ = write_(context_, buf_.get(), static_cast<int32_t>(used_)) != 0;
  used_ = 0;
  return ok_;
}

std::string json_gathered(const std::function<void(JsonSink&)>& write) {
  std::string text;
  const auto append = [](void* c, const char* b, int32_t n) -> int32_t {
    static_cast<std::string*>(c)->append(b, static_cast<std::size_t>(n));
    return 1;
  };
  {
    JsonSink sink(append, &text);
    write(sink);
  }
  return text;
}

JsonObject::JsonObject(JsonObject&& o) noexcept
    : body_(std::move(o.body_)),
      sink_(o.sink_),
      first_(o.first_),
      parent_(o.parent_),
      key_(std::move(o.key_)),
      close_(o.close_) {
  o.parent_ = nullptr;
  o.close_ = false;
}

JsonObject::~JsonObject() {
  if (close_) sink_->put('}');
  if (parent_ != nullptr) parent_->add_raw(key_, str());
}

JsonObject JsonObject::object(const std::string& key) {
  JsonObject child;
  if (sink_ != nullptr) {
    open_member(key);
    sink_->put('{');
    child.sink_ = sink_;
    child.close_ = true;
  } else {
    child.parent_ = this;
    child.key_ = key;
  }
  return child;
}

void JsonObject::open_member(const std::string& key) {
  if (!first_) sink_->put(',');
  first_ = false;
  sink_->put(json_quote(key));
  sink_->put(':');
}

void JsonObject::add_raw(const std::string& key, const std::string& json) {
  if (sink_ != nullptr) {
    open_member(key);
    sink_->put(json);
    return;
  }
  if (!body_.empty()) body_.push_back(',');
  body_ += json_quote(key) + ":" + json;
}

void JsonObject::add_members(const std::string& members) {
  if (members.empty()) return;
  if (sink_ == nullptr) {
    if (!body_.empty()) body_.push_back(',');
    body_ += members;
    return;
  }
  if (!first_) sink_->put(',');
  first_ = false;
  sink_->put(members);
}

template <class T>
void JsonObject::ints(const std::string& key, std::span<const T> v) {
  const auto write = [v](JsonSink& sink) {
    sink.put('[');
    sink.put_each(v.size(), 16, [v](std::size_t i, char* p) {
      const int x = static_cast<int>(v[i]);
      if (x >= 0 && x < 10) {  // most flags and every exclusion
        *p = static_cast<char>('0' + x);
        return p + 1;
      }
      return std::to_chars(p, p + 15, x).ptr;
    });
    sink.put(']');
  };
  if (sink_ == nullptr) return add_raw(key, json_gathered(write));
  open_member(key);
  write(*sink_);
}
template void JsonObject::ints<int>(const std::string&, std::span<const int>);
template void JsonObject::ints<char>(const std::string&, std::span<const char>);
template void JsonObject::ints<std::uint16_t>(const std::string&, std::span<const std::uint16_t>);

void JsonObject::add_numbers(const std::string& key, std::span<const double> v) {
  if (sink_ == nullptr) return add_raw(key, json_numbers(v));
  open_member(key);
  sink_->put('[');
  sink_->put_each(v.size(), JsonSink::kNumber + 1,
                  [&](std::size_t i, char* p) { return sink_->write_value(p, v[i]); });
  sink_->put(']');
}

void JsonObject::add_numbers(const std::string& key, std::size_t n,
                             const std::function<void(std::size_t, std::size_t, double*)>& read) {
  constexpr std::size_t kBlock = 4096;
  if (sink_ == nullptr) {
    std::vector<double> v(n);
    if (n > 0) read(0, n, v.data());
    return add_numbers(key, v);
  }
  open_member(key);
  sink_->put('[');
  double block[kBlock];
  for (std::size_t first = 0; first < n; first += kBlock) {
    const std::size_t count = std::min(kBlock, n - first);
    read(first, count, block);
    if (first > 0) sink_->put(',');
    sink_->put_each(count, JsonSink::kNumber + 1,
                    [&](std::size_t i, char* p) { return sink_->write_value(p, block[i]); });
  }
  sink_->put(']');
}

void JsonObject::add_numbered_strings(const std::string& key, std::size_t n) {
  const auto write = [n](JsonSink& sink) {
    sink.put('[');
    // The digits of numbers below 10^8 are a word (byte I the I-th digit),
    // counted on by adding one to the byte of the last digit and formed
    // afresh only when that digit would pass 9.
    std::uint64_t word = 0;
    int digits = 0;
    sink.put_each(n, 32, [&word, &digits](std::size_t i, char* p) {
      *p++ = '"';
      const std::size_t number = i + 1;
      const int last = 8 * (digits - 1);
      if (digits > 0 && (word >> last & 0xff) != '9') {
        word += std::uint64_t{1} << last;
      } else if (number < 100000000) {
        digits = digit_words::digit_count(number);
        word = digit_words::eight_digits(number) >> 8 * (8 - digits);
      } else {
        digits = 0;
        p = std::to_chars(p, p + 20, number).ptr;
        *p++ = '"';
        return p;
      }
      digit_words::store8(p, word);
      p += digits;
      *p++ = '"';
      return p;
    });
    sink.put(']');
  };
  if (sink_ == nullptr) return add_raw(key, json_gathered(write));
  open_member(key);
  write(*sink_);
}

void JsonObject::add_strings(const std::string& key, std::size_t n,
                             const std::function<void(std::size_t, std::string&)>& text_of) {
  const auto write = [&](JsonSink& sink) {
    std::string text;  // one buffer for every text
    sink.put('[');
    for (size_t i = 0; i < n; ++i) {
      if (i) sink.put(',');
      text_of(i, text);
      sink.put_quoted(text);
    }
    sink.put(']');
  };
  if (sink_ == nullptr) return add_raw(key, json_gathered(write));
  open_member(key);
  write(*sink_);
}

}  // namespace ztq
