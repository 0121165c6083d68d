// Interpretation: sentences that explain a pane's numbers, one generator per
// procedure, chosen by the title string number of the analysis record.
//
// A generator returns the pane's sentences in order, each with the resource
// number of the text it was formatted from, so that a host can list the
// verdicts without parsing prose. Separators (blanks, line ends) belong to the
// text only; a sentence that a missing value suppresses is not added at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ztq {

struct Sentence {
  int32_t number;    // the resource number of the sentence's text
  std::string text;  // as formatted into the pane's interpretation
};

struct Interpretation {
  std::vector<Sentence> sentences;
  std::string text;  // the whole interpretation, as CallQualityInterpret delivers it

  // Appends a formatted sentence: listed, and added to the text.
  void add(int32_t number, std::string formatted) {
    text += formatted;
    sentences.push_back({number, std::move(formatted)});
  }
  // Appends text that is no sentence of its own (a blank, a line end).
  void separator(const std::string& s) { text += s; }
};

// record: the AnalysisRecord of the analysis; pane: 1 to 14.
using InterpretFn = Interpretation (*)(const void* record, int pane);

struct InterpretEntry {
  int32_t title_number;
  InterpretFn fn;
};

// Procedures register their generator once, at module load, under every
// title string number their records may carry.
void register_interpreter(int32_t title_number, InterpretFn fn);
// The interpretation of PANE (1 to 14) of the record by the generator of
// TITLE_NUMBER: empty for an unknown title or pane, one sentence for a record
// in an error state; a non-empty text ends with a line end.
Interpretation interpret(const void* record, int32_t title_number, int pane);

// How many characters of TEXT fit the host's advice buffer of 8192 with its
// NUL (8191 at most, never parting a UTF-8 sequence).
size_t advice_cut(const std::string& text);

// The title string number kept in an analysis record (0 for a record the
// module does not know).
int32_t record_title_number(const void* record);

}  // namespace ztq
