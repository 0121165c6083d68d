// Loads the quality module as the real host loads its library: by path, at
// run time, resolving each export by name.
#pragma once

#include <string>

#include "host/plugins/plugin_loader.h"  // install_folder()
#include "ztqualty.h"

namespace qualty {

struct ModuleExports {
  decltype(&IsQualityLoaded) is_quality_loaded = nullptr;
  decltype(&QualSetAddedText) set_added_text = nullptr;
  decltype(&FilterDllMsg) filter_message = nullptr;
  decltype(&ProcessDllIdle) process_idle = nullptr;
  decltype(&CallQualityInterpret) interpret = nullptr;
  decltype(&QualVersion) version = nullptr;
  decltype(&QualString) string = nullptr;
  decltype(&QualDescribe) describe = nullptr;
  decltype(&QualReleaseRecord) release_record = nullptr;
  decltype(&QualResultsJson) results_json = nullptr;
  decltype(&QualResultsJsonWrite) results_json_write = nullptr;
  decltype(&QualDist) dist = nullptr;
  decltype(&QualErrorMessage) error_message = nullptr;
  decltype(&QualAdviceSentences) advice_sentences = nullptr;
};

class Module {
 public:
  // $QUALTY_MODULE, else the module in install_folder().
  static std::string default_path();

  Module() = default;
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  ~Module();

  // False with error() set when the library cannot be loaded or lacks an export.
  bool load(const std::string& path);
  void* symbol(const char* name) const;
  const ModuleExports& exports() const { return exports_; }
  const std::string& error() const { return error_; }

 private:
  void* handle_ = nullptr;
  ModuleExports exports_;
  std::string error_;
};

}  // namespace qualty
