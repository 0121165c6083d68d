#include "bridge/messages.h"

#include "bridge/module_state.h"

namespace ztq {

namespace {

int box(const std::string& text, int32_t style, int32_t no_answer) {
  HostApplication* app = module_state().app;
  if (app == nullptr || app->message_box == nullptr) return no_answer;
  return app->message_box(app, kMessageCaption, text.c_str(), style);
}

}  // namespace

void ShowMessage(Str id) { box(text(id), ZTQ_BOX_WARNING, 1); }
void show_warning_text(const std::string& t) { box(t, ZTQ_BOX_WARNING, 1); }
void show_formatted_warning(Str id, int value) { box(text_with(id, value), ZTQ_BOX_WARNING, 1); }
void show_information(Str id) { box(text(id), ZTQ_BOX_INFORMATION, 1); }
int AskYesNo(Str id) { return box(text(id), ZTQ_BOX_YES_NO, ZTQ_IDNO); }
int ask_yes_no_cancel(Str id) { return box(text(id), ZTQ_BOX_YES_NO_CANCEL, ZTQ_IDCANCEL); }

}  // namespace ztq
