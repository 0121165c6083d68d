// qualty: the command-line host of the quality module.
//
//   qualty --version
//   qualty describe [PROCEDURE]
//
// Exit status: 0 computed without an error state; 1 the analysis holds an
// error state; 2 bad usage or an unreadable file.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/module_loader.h"
#include "app/session.h"

int main(int argc, char** argv) {
  CLI::App cli{"qualty: statistical quality control from the command line"};
  cli.set_version_flag("--version", std::string("qualty ") + QUALTY_VERSION);
  cli.require_subcommand(0, 1);
  std::string profile_path;
  cli.add_option("--profile", profile_path, "settings file (INI); default $QUALTY_PROFILE")
      ->envname("QUALTY_PROFILE");

  std::string describe_what;
  CLI::App* describe = cli.add_subcommand("describe",
                                          "what the module offers: procedures, "
                                          "their roles, options and panes");
  describe->add_option("procedure", describe_what, "a procedure name");

  try {
    cli.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = cli.exit(e);
    return code == 0 ? 0 : 2;
  }

  qualty::Session session(qualty::default_profile_path(profile_path));
  if (!session.start()) {
    std::fprintf(stderr, "qualty: %s\n", session.error().c_str());
    return 2;
  }
  if (*describe) return session.describe(describe_what, std::cout);
  std::cout << cli.help();
  return 0;
}
