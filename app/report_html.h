// The report as one self-contained HTML document: styles inline, graphs as
// inline SVG, no script, font or other file fetched, a print style sheet.
#pragma once

#include <string>

#include "app/report_model.h"

namespace qualty {

std::string report_html(const Report& report);

// A graph's SVG document ready to sit inside HTML: the XML prolog dropped and
// its element ids prefixed so that the clips of two graphs cannot collide.
std::string inline_svg(const std::string& svg, const std::string& id_prefix);

// Text with &, <, > and " written as entities.
std::string html_escape(const std::string& s);

}  // namespace qualty
