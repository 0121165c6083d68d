// The folder qualty runs from, and the plugins beside it: shared libraries
// that hold the code depending on large libraries (cairo for drawing, libzip
// and expat for workbooks), opened the first time a run needs them so that a
// run which neither draws nor reads a workbook never maps those libraries.
#pragma once

#include <stdexcept>
#include <string>

namespace qualty {

// The folder of the running executable (its real path, links resolved).
std::string executable_folder();
// Where the module, its string table, the plugins and the data folder are:
// $QUALTY_HOME, else the executable's folder.
std::string install_folder();

// A plugin that cannot be opened: the run stops with this message.
class PluginError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Opens install_folder()/file (once; it stays loaded for the life of the
// process) and returns the address of its C function factory. PluginError
// "cannot load the <what> (<reason>)" when the library cannot be opened or
// lacks the function.
void* plugin_factory(const char* file, const char* factory, const char* what);

// What the factory of type MAKE returns, called once, on the first call (a
// failed load throws and is tried again on the next).
template <class Make>
auto& plugin_object(const char* file, const char* factory, const char* what) {
  static auto* const object = reinterpret_cast<Make*>(plugin_factory(file, factory, what))();
  return *object;
}

}  // namespace qualty
