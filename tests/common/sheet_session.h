// The module against the stand-in host's data sheet, profile and UI service:
// the state a test of the procedure protocol needs, forms answered from
// `answers`, message boxes recorded without being shown.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bridge/lifecycle.h"
#include "bridge/module_state.h"
#include "form_answers.h"
#include "host/profile/host_application.h"
#include "host/sheet/spread_ops.h"
#include "ztqualty.h"

namespace ztq::testing {

class SheetSession : public ::testing::Test {
 protected:
  void SetUp() override {
    module_startup(QUALTY_BIN);
    ui.quiet = true;
    ui.answer_form = answer_from(answers, forms);
  }
  void TearDown() override {
    QualReleaseRecord(&record);
    module_state().app = nullptr;
  }

  static qualty::Column numeric(const std::string& name, std::vector<double> v) {
    qualty::Column c;
    c.name = name;
    c.numbers = std::move(v);
    return c;
  }
  static qualty::Column text_column(const std::string& name, std::vector<std::string> v) {
    qualty::Column c;
    c.name = name;
    c.type = 'C';
    c.width = 1;
    c.texts = std::move(v);
    return c;
  }
  // The sheet the host offers from now on.
  void use_sheet(qualty::DataSheet s) {
    sheet = std::move(s);
    state = std::make_unique<qualty::SpreadState>(sheet);
    spread = qualty::make_spread_ops(*state);
    host.c_object()->spread = &spread;
    IsQualityLoaded(host.c_object(), advice, 0);
  }

  qualty::DataSheet sheet;
  std::unique_ptr<qualty::SpreadState> state;
  ZtSpread spread{};
  qualty::IniProfile profile;
  qualty::UiService ui;
  qualty::HostApp host{profile, ui};
  HostContext ctx{};
  AnalysisRecord record{};
  char advice[8192] = {};
  char setup_text[kSetupTextSize] = {};
  std::map<std::string, std::string> answers;
  int forms = 0;
};

}  // namespace ztq::testing
