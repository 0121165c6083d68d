// The report as PDF through the drawing plugin: A4 pages of text (selectable, extractable)
// and the graphs drawn as vectors by the same renderer as the graph files.
#pragma once

#include <string>

#include "app/report_model.h"

namespace qualty {

// The PDF document's bytes; false with a one-line reason when drawing fails.
bool report_pdf(const Report& report, std::string& bytes, std::string& error);

}  // namespace qualty
