#include "app/module_loader.h"

#include <dlfcn.h>

#include <cstdlib>

namespace qualty {

std::string Module::default_path() {
  if (const char* env = std::getenv("QUALTY_MODULE"); env != nullptr && *env) return env;
  return install_folder() + "/libztqualty.so";
}

Module::~Module() {
  if (handle_ != nullptr) dlclose(handle_);
}

void* Module::symbol(const char* name) const {
  return handle_ == nullptr ? nullptr : dlsym(handle_, name);
}

bool Module::load(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    error_ = "cannot load the quality module " + path + ": " + (why ? why : "unknown error");
    return false;
  }
  bool ok = true;
  auto bind = [&](auto& slot, const char* name) {
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(symbol(name));
    if (slot == nullptr) {
      ok = false;
      error_ = "the quality module " + path + " lacks the export " + name;
    }
  };
  bind(exports_.is_quality_loaded, "IsQualityLoaded");
  bind(exports_.set_added_text, "QualSetAddedText");
  bind(exports_.filter_message, "FilterDllMsg");
  bind(exports_.process_idle, "ProcessDllIdle");
  bind(exports_.interpret, "CallQualityInterpret");
  bind(exports_.version, "QualVersion");
  bind(exports_.string, "QualString");
  bind(exports_.describe, "QualDescribe");
  bind(exports_.release_record, "QualReleaseRecord");
  bind(exports_.results_json, "QualResultsJson");
  bind(exports_.results_json_write, "QualResultsJsonWrite");
  bind(exports_.dist, "QualDist");
  bind(exports_.error_message, "QualErrorMessage");
  bind(exports_.advice_sentences, "QualAdviceSentences");
  return ok;
}

}  // namespace qualty
