#include "host/plugins/plugin_loader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

namespace qualty {

// The kernel's link names the executable's real path: a symbolic link on the
// PATH (bin/qualty to lib/qualty/qualty) leads to the installed folder.
std::string executable_folder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

std::string install_folder() {
  if (const char* env = std::getenv("QUALTY_HOME"); env != nullptr && *env) return env;
  return executable_folder();
}

void* plugin_factory(const char* file, const char* factory, const char* what) {
  const std::string path = install_folder() + "/" + file;
  // Never closed: the font caches of the drawing libraries live until exit.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    throw PluginError(std::string("cannot load the ") + what + " (" +
                      (why != nullptr ? why : path + ": unknown error") + ")");
  }
  void* function = dlsym(handle, factory);
  if (function == nullptr)
    throw PluginError(std::string("cannot load the ") + what + " (" + path + " lacks " + factory +
                      ")");
  return function;
}

}  // namespace qualty
