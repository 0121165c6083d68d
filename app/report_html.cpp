#include "app/report_html.h"

#include "host/graph/svg_painter.h"

#include <cstdio>

#include "app/report_words.h"

namespace qualty {

namespace {

// Screen: a column of readable width, the interpretation beside its pane when
// there is room. Print: each pane starts a page and no graph or table is cut.
constexpr const char* kStyle = R"(
*{box-sizing:border-box}
body{font-family:"DejaVu Sans",Arial,Helvetica,sans-serif;font-size:15px;line-height:1.4;
 color:#1a1a1a;background:#fff;margin:0 auto;padding:1.5em;max-width:1100px}
h1{font-size:1.6em;margin:0 0 .2em}h2{font-size:1.3em;border-bottom:2px solid #2c5d8a;
 padding-bottom:.15em;margin-top:1.6em}h3{font-size:1.08em;margin:1.1em 0 .4em}
h4{font-size:1em;margin:0 0 .3em}
p,li,td,th,pre,h1,h2,h3,h4{overflow-wrap:anywhere}
.meta{color:#555;margin:0}
table{border-collapse:collapse;margin:.4em 0;max-width:100%}
td,th{border:1px solid #c8c8c8;padding:.15em .5em;text-align:left;vertical-align:top}
th{background:#eef2f6}
td.num{text-align:right;font-variant-numeric:tabular-nums}
.pane{border:1px solid #d8d8d8;border-radius:4px;padding:.6em .9em;margin:1em 0}
.pane-body{display:flex;flex-wrap:wrap;gap:1em}
.pane-main{flex:1 1 560px;min-width:0}
.advice{flex:1 1 260px;min-width:0;background:#f6f8ee;border-left:4px solid #8aa62c;padding:.5em .8em}
.advice p,.pane-main p{margin:.25em 0}
svg{display:block;max-width:100%;height:auto}
pre{font-family:"DejaVu Sans Mono",monospace;font-size:12px;white-space:pre-wrap;
 background:#f7f7f7;padding:.5em;margin:.3em 0}
details summary{cursor:pointer;color:#2c5d8a}
.error{color:#a00000;font-weight:bold}
nav ol{padding-left:1.4em}
@media print{
 body{max-width:none;padding:0;font-size:11pt}
 nav,.pane,.facts{break-inside:avoid}
 .pane{break-before:page;border:none;padding:0}
 section.analysis{break-before:page}
 svg,table,.advice{break-inside:avoid;page-break-inside:avoid}
 details{display:none}
 a{color:inherit;text-decoration:none}
}
)";

// Above this many characters a pane's text is shown once, as text, not also
// as tables (a listing of 10^5 points would double the report).
constexpr size_t kLargestTable = 256 * 1024;

bool numeric(const std::string& s, char decimal) {
  bool digit = false;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c != '-' && c != '+' && c != decimal && c != '.' && c != 'e' && c != 'E' &&
               c != '%') {
      return false;
    }
  }
  return digit;
}

void table_html(std::string& out, const ReportTable& t, char decimal) {
  out += "<table>\n";
  for (size_t r = 0; r < t.rows.size(); ++r) {
    const bool head = t.header && r == 0;
    out += "<tr>";
    for (const std::string& cell : t.rows[r]) {
      if (head)
        out += "<th>";
      else
        out += numeric(cell, decimal) ? "<td class=\"num\">" : "<td>";
      out += html_escape(cell);
      out += head ? "</th>" : "</td>";
    }
    out += "</tr>\n";
  }
  out += "</table>\n";
}

void paragraphs(std::string& out, const std::string& text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    if (line.find_first_not_of(' ') != std::string::npos)
      out += "<p>" + html_escape(line) + "</p>\n";
    start = end + 1;
  }
}

void pane_html(std::string& out, const Report& report, const ReportPane& p, const std::string& id) {
  const ReportWords& w = report.words;
  const std::string head = with_number(w.word(kWordPane, "Pane %d"), p.number);
  out += "<section class=\"pane\" id=\"" + id + "\">\n<h3>" + html_escape(head) + "</h3>\n";
  out += "<div class=\"pane-body\">\n<div class=\"pane-main\">\n";
  if (p.graph) {
    out += inline_svg(p.svg, id + "-");
  } else if (p.text.size() > kLargestTable) {  // a long listing reads best as it is
    out += "<pre>" + html_escape(p.text) + "</pre>\n";
  } else {
    for (const TextBlock& b : text_blocks(p.text)) {
      if (b.kind == TextBlock::heading)
        out += "<h4>" + html_escape(b.text) + "</h4>\n";
      else if (b.kind == TextBlock::line)
        out += "<p>" + html_escape(b.text) + "</p>\n";
      else
        table_html(out, b.cells, w.decimal);
    }
    out += "<details><summary>" + html_escape(w.word(kWordPaneText, "Pane text")) +
           "</summary><pre>" + html_escape(p.text) + "</pre></details>\n";
  }
  out += "</div>\n";
  if (!p.advice.empty()) {
    out += "<aside class=\"advice\"><h4>" +
           html_escape(w.word(kWordInterpretation, "Interpretation")) + "</h4>\n";
    paragraphs(out, p.advice);
    out += "</aside>\n";
  }
  out += "</div>\n</section>\n";
}

void analysis_html(std::string& out, const Report& report, const ReportAnalysis& a, size_t index) {
  const ReportWords& w = report.words;
  const std::string id = "a" + std::to_string(index + 1);
  out += "<section class=\"analysis\" id=\"" + id + "\">\n<h2>" + html_escape(a.title) + "</h2>\n";
  ReportTable facts;
  facts.rows.push_back({w.word(kWordProcedure, "Procedure"), a.procedure});
  if (!a.source.empty())
    facts.rows.push_back({w.word(kWordAnalysisFile, "Analysis file"), a.source});
  facts.rows.push_back({w.word(kWordDataFile, "Data file"), a.data});
  char buf[64];
  std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(a.data_bytes));
  facts.rows.push_back({w.word(kWordDataSize, "Size (bytes)"), buf});
  std::snprintf(buf, sizeof buf, "%08x", a.data_crc);
  facts.rows.push_back({w.word(kWordChecksum, "Checksum (CRC-32)"), buf});
  out += "<div class=\"facts\">\n";
  table_html(out, facts, w.decimal);
  out += "</div>\n";
  if (!a.error.empty()) out += "<p class=\"error\">" + html_escape(a.error) + "</p>\n";
  if (!a.variables.empty()) {
    ReportTable vars;
    vars.header = true;
    vars.rows.push_back({w.word(kWordRole, "Role"), w.word(kWordExpression, "Variable")});
    for (const auto& [role, expr] : a.variables) vars.rows.push_back({role, expr});
    out += "<h3>" + html_escape(w.word(kWordVariables, "Input variables")) + "</h3>\n";
    table_html(out, vars, w.decimal);
  }
  if (a.has_options) {
    out += "<h3>" + html_escape(w.word(kWordOptions, "Options in force")) + "</h3>\n";
    table_html(out, a.options, w.decimal);
  }
  for (size_t k = 0; k < a.panes.size(); ++k)
    pane_html(out, report, a.panes[k], id + "-p" + std::to_string(a.panes[k].number));
  if (a.has_violations) {
    out += "<h3>" + html_escape(w.word(kWordViolations, "Out-of-control points")) + "</h3>\n";
    if (a.violations.rows.empty())
      out += "<p>" + html_escape(w.word(kWordNoViolations, "None.")) + "</p>\n";
    else
      table_html(out, a.violations, w.decimal);
  }
  out += "</section>\n";
}

}  // namespace

// The five characters XML reserves, as the SVG writer escapes them.
std::string html_escape(const std::string& s) { return xml_escape(s); }

std::string inline_svg(const std::string& svg, const std::string& id_prefix) {
  size_t start = svg.find("<svg");
  if (start == std::string::npos) return "";
  std::string out;
  out.reserve(svg.size() + 64);
  const std::string keys[] = {"id=\"", "url(#"};
  size_t i = start;
  while (i < svg.size()) {
    size_t next = std::string::npos, which = 0;
    for (size_t k = 0; k < 2; ++k) {
      const size_t at = svg.find(keys[k], i);
      if (at < next) next = at, which = k;
    }
    if (next == std::string::npos) {
      out.append(svg, i, std::string::npos);
      break;
    }
    const size_t after = next + keys[which].size();
    out.append(svg, i, after - i);
    out += id_prefix;
    i = after;
  }
  return out;
}

std::string report_html(const Report& report) {
  const ReportWords& w = report.words;
  std::string out;
  out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  out += "<title>" + html_escape(report.title) + "</title>\n<style>" + kStyle + "</style>\n";
  out += "</head>\n<body>\n<header>\n<h1>" + html_escape(report.title) + "</h1>\n";
  out += "<p class=\"meta\">" + html_escape(w.word(kWordCreated, "Created")) + " " +
         html_escape(report.created) + " &middot; " + html_escape(w.word(kWordProgram, "Program")) +
         " qualty " + html_escape(report.version) + "</p>\n</header>\n";
  if (report.analyses.size() > 1) {
    out +=
        "<nav id=\"toc\">\n<h2>" + html_escape(w.word(kWordContents, "Contents")) + "</h2>\n<ol>\n";
    for (size_t k = 0; k < report.analyses.size(); ++k)
      out += "<li><a href=\"#a" + std::to_string(k + 1) + "\">" +
             html_escape(report.analyses[k].title) + "</a></li>\n";
    out += "</ol>\n</nav>\n";
  }
  for (size_t k = 0; k < report.analyses.size(); ++k)
    analysis_html(out, report, report.analyses[k], k);
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace qualty
