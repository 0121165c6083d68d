#include "host/ui/ui_service.h"

#include <cstdio>

#include "ztqualty.h"

namespace qualty {

int32_t UiService::message_box(const char* caption, const char* text, int32_t style) {
  int32_t answer = 1;  // OK
  if (style == ZTQ_BOX_YES_NO || style == ZTQ_BOX_YES_NO_CANCEL)
    answer = assume_yes ? ZTQ_IDYES : ZTQ_IDNO;
  const std::string c = caption ? caption : "";
  const std::string t = text ? text : "";
  messages_.push_back({c, t, style, answer});
  if (!quiet) {
    const char* reply = answer == ZTQ_IDYES ? " [Yes]" : (answer == ZTQ_IDNO ? " [No]" : "");
    std::fprintf(stderr, "%s: %s%s\n", c.c_str(), t.c_str(), reply);
  }
  return answer;
}

}  // namespace qualty
