// Checks of a report's layout as the browser laid it out, written into the
// page as JSON for --dump-dom to carry out. Run after the page has loaded.
(function () {
  var problems = [];
  var analyses = document.querySelectorAll('section.analysis');
  var headings = document.querySelectorAll('section.analysis > h2');
  if (analyses.length === 0) problems.push('no analysis section');
  if (headings.length !== analyses.length) problems.push('analyses ' + analyses.length + ' headings ' + headings.length);
  // Every graph is inline SVG; a control chart's carries its limit lines and their labels.
  var svgs = document.querySelectorAll('section.pane svg');
  var limits = 0;
  svgs.forEach(function (svg) {
    if (svg.querySelector('g.lines > *, g.bars > *, g.points > *') === null) problems.push('graph with nothing drawn');
    var labels = Array.prototype.map.call(svg.querySelectorAll('g.line-labels text'), function (t) { return t.textContent; });
    if (labels.some(function (s) { return /^(UCL|LCL)/.test(s); })) limits++;
    var box = svg.getBoundingClientRect();
    var block = svg.parentElement.getBoundingClientRect();
    if (box.width < 100 || box.height < 60) problems.push('graph drawn ' + box.width + 'x' + box.height);
    if (box.right > block.right + 1) problems.push('graph wider than its block');
  });
  document.querySelectorAll('img, script[src], link, iframe, object, embed').forEach(function (e) {
    problems.push('external element ' + e.tagName);
  });
  // No text runs out of its block: an element whose content is wider than its box.
  document.querySelectorAll('h1, h2, h3, h4, p, td, th, pre, li, .pane, .advice, table').forEach(function (e) {
    if (e.scrollWidth > e.clientWidth + 1 && e.clientWidth > 0) problems.push('overflow in ' + e.tagName + ': ' + e.textContent.slice(0, 40));
    var r = e.getBoundingClientRect();
    if (r.right > document.documentElement.clientWidth + 1) problems.push('beyond the page: ' + e.tagName);
  });
  var resources = performance.getEntriesByType('resource').length;
  if (resources !== 0) problems.push(resources + ' resources fetched');
  var out = document.createElement('pre');
  out.id = 'layout-check';
  out.textContent = JSON.stringify({
    analyses: analyses.length, headings: headings.length, graphs: svgs.length,
    graphs_with_limits: limits, panes: document.querySelectorAll('section.pane').length,
    problems: problems
  });
  document.body.appendChild(out);
})();
