// The UI service of the stand-in host: message boxes print their caption and
// text to standard error (and are kept, so the host can report them); a yes/no
// question takes its answer from --yes, else No; the wait cursor does nothing
// visible.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ztqualty.h"

namespace qualty {

struct ShownMessage {
  std::string caption;
  std::string text;
  int32_t style;
  int32_t answer;
};

class UiService {
 public:
  bool assume_yes = false;  // answer Yes to every question
  bool quiet = false;       // keep messages without printing them

  // Answers a form of the module: writes answers into the fields' values and
  // returns 1 (OK) or 0 (Cancel). Without an answerer every form is cancelled.
  std::function<int32_t(ZtForm& form)> answer_form;

  int32_t message_box(const char* caption, const char* text, int32_t style);
  int32_t run_form(ZtForm* form) { return form != nullptr && answer_form ? answer_form(*form) : 0; }
  void wait_cursor(int32_t show) { wait_depth_ += show > 0 ? 1 : (wait_depth_ > 0 ? -1 : 0); }
  int wait_depth() const { return wait_depth_; }
  const std::vector<ShownMessage>& messages() const { return messages_; }
  void clear_messages() { messages_.clear(); }

 private:
  std::vector<ShownMessage> messages_;
  int wait_depth_ = 0;
};

}  // namespace qualty
