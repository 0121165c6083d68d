// A small JSON writer for the module's own exports: numbers in their shortest
// round-trip form, the missing value (and anything not finite) as null.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/shortest_double.h"

namespace ztq {

std::string json_quote(const std::string& s);
std::string json_number(double v);
std::string json_numbers(std::span<const double> v);
std::string json_strings(const std::vector<std::string>& v);

class JsonSink;
// The text that WRITE forms in a sink, gathered in a string.
std::string json_gathered(const std::function<void(JsonSink&)>& write);

// Where a JSON text is written as it is formed: chunks of at most 64 KiB
// handed to WRITE (which returns 0 to stop), so that a results text of 10^7
// points is never held whole. The first failed write ends the output.
class JsonSink {
 public:
  using WriteFn = int32_t (*)(void* context, const char* bytes, int32_t count);
  // CHUNK (at least kChunk) bytes are written at a time.
  JsonSink(WriteFn write, void* context, std::size_t chunk = kChunk)
      : write_(write), context_(context), chunk_(std::max(chunk, kChunk)), buf_(new char[chunk_]) {}
  ~JsonSink() { flush(); }
  JsonSink(const JsonSink&) = delete;
  JsonSink& operator=(const JsonSink&) = delete;

  void put(char c) {
    if (used_ == chunk_) flush();
    buf_[used_++] = c;
  }
  void put(std::string_view s);
  void put_number(double v);  // as json_number
  // COUNT numbers V, each after a comma (the first too unless FIRST): the
  // text of V formed once.
  void put_repeated(double v, std::size_t count, bool first);
  void put_quoted(std::string_view s);  // as json_quote
  bool flush();                         // false once a write has failed
  bool ok() const { return ok_; }
  // Room for N (at most kChunk) bytes at the end of the buffer, written
  // through the pointer returned and kept by done(the end of what was written).
  char* room(std::size_t n) {
    if (used_ + n > chunk_) flush();
    return buf_.get() + used_;
  }
  void done(const char* end) { used_ = static_cast<std::size_t>(end - buf_.get()); }
  // WRITE(i, p) for i < N writes item i at p and returns its end; every item
  // but the first after a comma, each with MOST bytes of room (the comma's
  // too), taken a block of items at a time.
  template <class Write>
  void put_each(std::size_t n, std::size_t most, Write write) {
    const std::size_t per_block = chunk_ / most;
    for (std::size_t i = 0; i < n;) {
      const std::size_t end = i + std::min(n - i, per_block);
      char* p = room((end - i) * most);
      for (; i < end; ++i) {
        if (i) *p++ = ',';
        p = write(i, p);
      }
      done(p);
    }
  }
  // V as put_number writes it, at P (kNumber bytes of room); the end.
  char* write_value(char* p, double v);

  bool series = true;  // false: the per-point series are left out
  static constexpr std::size_t kChunk = 1 << 16;
  static constexpr std::size_t kNumber = kShortestDoubleRoom;  // room for any number

 private:
  WriteFn write_;
  void* context_;
  std::size_t chunk_;
  std::unique_ptr<char[]> buf_;
  std::size_t used_ = 0;
  bool ok_ = true;
  unsigned short_misses_ = 0;   // values in a row the short-decimal path missed
  unsigned short_skipped_ = 0;  // values written while it is skipped
};

// The members of an object, gathered in a string or, given a sink, written to
// it as they are added (no braces: the sink's owner writes those). object()
// opens a member object that is closed when the returned value is destroyed.
// Both ways give the same bytes.
class JsonObject {
 public:
  JsonObject() = default;
  explicit JsonObject(JsonSink& sink) : sink_(&sink) {}
  JsonObject(JsonObject&& o) noexcept;
  JsonObject& operator=(JsonObject&&) = delete;
  JsonObject(const JsonObject&) = delete;
  ~JsonObject();

  JsonObject object(const std::string& key);
  // Whether per-point series are wanted (false only in a sink that leaves them out).
  bool series() const { return sink_ == nullptr || sink_->series; }
  void add_raw(const std::string& key, const std::string& json);
  void add_string(const std::string& key, const std::string& value) {
    add_raw(key, json_quote(value));
  }
  void add_number(const std::string& key, double v) { add_raw(key, json_number(v)); }
  void add_numbers(const std::string& key, std::span<const double> v);
  // N numbers read a block at a time: READ(FIRST, COUNT, OUT) puts COUNT of
  // them, from the FIRST-th, at OUT (values formed as they are read).
  void add_numbers(const std::string& key, std::size_t n,
                   const std::function<void(std::size_t, std::size_t, double*)>& read);
  void add_ints(const std::string& key, std::span<const int> v) { ints(key, v); }
  void add_ints(const std::string& key, std::span<const char> v) { ints(key, v); }
  void add_ints(const std::string& key, std::span<const std::uint16_t> v) { ints(key, v); }
  // N texts as an array of strings: TEXT_OF(I, TEXT) puts the I-th in TEXT
  // (one string reused for all, so that its storage is allocated once).
  void add_strings(const std::string& key, std::size_t n,
                   const std::function<void(std::size_t, std::string&)>& text_of);
  // The texts "1" to "N" as an array of strings (points labelled by number).
  void add_numbered_strings(const std::string& key, std::size_t n);
  // A per-point line read by index (size(), operator[] and run_end(i), the
  // first point after I that may differ from point I): each run of equal
  // values formatted once, no copy of the line made.
  template <class Line>
  void add_line(const std::string& key, const Line& line);
  // A per-point series: left out when the sink leaves series out.
  void add_series(const std::string& key, std::span<const double> v) {
    if (series()) add_numbers(key, v);
  }
  template <class Line>
  void add_series_line(const std::string& key, const Line& line) {
    if (series()) add_line(key, line);
  }
  // Members already formed as text (without braces), after those added so far.
  void add_members(const std::string& members);
  // The members without braces, and the whole object.
  const std::string& members() const { return body_; }
  std::string str() const { return "{" + body_ + "}"; }

 private:
  void open_member(const std::string& key);  // ,"key": in sink mode
  template <class T>
  void ints(const std::string& key, std::span<const T> v);  // int, char, std::uint16_t
  std::string body_;
  JsonSink* sink_ = nullptr;
  bool first_ = true;             // no member written yet (sink mode)
  JsonObject* parent_ = nullptr;  // string mode: where a member object lands
  std::string key_;
  bool close_ = false;  // sink mode: write the closing brace at the end
};

template <class Line>
void JsonObject::add_line(const std::string& key, const Line& line) {
  const auto runs = [&line](JsonSink& sink) {
    sink.put('[');
    for (std::size_t i = 0; i < line.size();) {
      const std::size_t end = line.run_end(i);
      sink.put_repeated(line[i], end - i, i == 0);
      i = end;
    }
    sink.put(']');
  };
  if (sink_ != nullptr) {
    open_member(key);
    return runs(*sink_);
  }
  add_raw(key, json_gathered(runs));
}

}  // namespace ztq
