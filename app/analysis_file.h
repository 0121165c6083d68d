// An analysis saved to a file and reopened later: the record's persistent
// fields (procedure, variant, input mode, expressions, options, pane options,
// excluded points) as JSON.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ztqualty.h"

namespace qualty {

struct AnalysisFile {
  std::string procedure;
  int variant = 0;
  int32_t input_mode = 0;
  int32_t title_number = 0;
  std::vector<std::string> expressions;  // the record's variable slots in order
  std::string selection;
  std::vector<int32_t> option;
  std::vector<double> doption;  // missing values stored as null
  std::vector<std::vector<int32_t>> pane_option;
  std::vector<int32_t> excluded;
};

bool write_analysis_file(const std::string& path, const std::string& procedure, int variant,
                         const AnalysisRecord& record, std::string& error);
// Reads and checks a file; false with a one-line reason for anything truncated,
// malformed or out of range.
bool read_analysis_file(const std::string& path, AnalysisFile& file, std::string& error);
// The same for a file's text; where names it in the reason.
bool parse_analysis_text(const std::string& text, const std::string& where, AnalysisFile& file,
                         std::string& error);
// Fills a zeroed record from the file (the excluded flags in a malloc'd block).
bool apply_analysis_file(const AnalysisFile& file, AnalysisRecord& record, std::string& error);

}  // namespace qualty
