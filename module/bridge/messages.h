// The six message-box routines. Every message of the module goes through the
// host's UI service with the caption "MERIDAX Plus"; without a UI service the
// message is dropped and questions answer No (or Cancel).
#pragma once

#include <string>

#include "bridge/strings.h"

namespace ztq {

inline constexpr const char* kMessageCaption = "MERIDAX Plus";

void ShowMessage(Str id);                         // OK, exclamation
void show_warning_text(const std::string& text);  // a ready text; OK, exclamation
void show_formatted_warning(Str id, int value);   // one integer placeholder
void show_information(Str id);                    // OK, information
int AskYesNo(Str id);                             // 6 Yes, 7 No
int ask_yes_no_cancel(Str id);                    // 6 Yes, 7 No, 2 Cancel

}  // namespace ztq
