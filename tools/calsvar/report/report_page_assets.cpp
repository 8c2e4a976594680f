#include "tools/calsvar/report/report_page_assets.h"

namespace calsvar::report {

const char* const kReportStyle = R"css(
body { font: 13px/1.35 system-ui, sans-serif; margin: 0 1em 2em; color: #111; }
h1 { font-size: 1.4em; margin: 0.6em 0 0.2em; }
header p { margin: 0.3em 0; }
#counts { font-size: 1.1em; font-weight: bold; }
table { border-collapse: collapse; }
th, td { border-bottom: 1px solid #ddd; padding: 4px 6px; text-align: left; vertical-align: top; }
thead th { position: sticky; top: 0; background: #eee; cursor: pointer; white-space: nowrap; user-select: none; }
th[aria-sort=ascending]::after { content: " \25B2"; }
th[aria-sort=descending]::after { content: " \25BC"; }
td.picture { text-align: center; }
td.picture img { border: 1px solid #bbb; background: #fff; }
td.path { font-family: ui-monospace, monospace; word-break: break-all; min-width: 14em; }
.number { white-space: nowrap; }
.verdict { font-weight: bold; }
.ok { color: #17692e; }
.warning { color: #8a5a00; }
.error { color: #b00020; }
td ul { margin: 2px 0; padding-left: 1.1em; min-width: 20em; }
summary { cursor: pointer; }
details { min-width: 16em; }
dialog { padding: 0.5em; border: 1px solid #888; }
dialog img { display: block; max-width: 92vw; max-height: 88vh; background: #fff; }
)css";

const char* const kReportScript = R"js(
(function () {
  var table = document.getElementById('files');
  var body = table.tBodies[0];
  var rows = Array.prototype.slice.call(body.rows);
  rows.forEach(function (row) { row.searchText = row.textContent.toLowerCase(); });
  var filter = document.getElementById('filter');
  var verdict = document.getElementById('verdict');
  function narrow() {
    var text = filter.value.toLowerCase(), wanted = verdict.value, shown = 0;
    rows.forEach(function (row) {
      row.hidden = (wanted !== '' && row.dataset.verdict !== wanted) || row.searchText.indexOf(text) < 0;
      if (!row.hidden) shown++;
    });
    document.getElementById('shown').textContent = shown + ' of ' + rows.length + ' shown';
  }
  filter.addEventListener('input', narrow);
  verdict.addEventListener('change', narrow);
  var heads = Array.prototype.slice.call(table.tHead.rows[0].cells);
  heads.forEach(function (head, column) {
    head.addEventListener('click', function () {
      var up = head.getAttribute('aria-sort') !== 'ascending';
      var number = head.dataset.sort === 'number';
      heads.forEach(function (other) { other.removeAttribute('aria-sort'); });
      head.setAttribute('aria-sort', up ? 'ascending' : 'descending');
      var keyOf = function (row) {
        var cell = row.cells[column];
        var key = cell.dataset.k !== undefined ? cell.dataset.k : cell.textContent;
        return number ? parseFloat(key) : key.toLowerCase();
      };
      var keyed = rows.map(function (row, index) { return { key: keyOf(row), index: index, row: row }; });
      keyed.sort(function (a, b) {
        var missingA = number ? isNaN(a.key) : a.key === '', missingB = number ? isNaN(b.key) : b.key === '';
        if (missingA || missingB) return missingA === missingB ? a.index - b.index : (missingA ? 1 : -1);
        var order = number ? a.key - b.key : a.key.localeCompare(b.key);
        return order !== 0 ? (up ? order : -order) : a.index - b.index;
      });
      rows = keyed.map(function (entry) { return entry.row; });
      var sorted = document.createDocumentFragment();
      rows.forEach(function (row) { sorted.appendChild(row); });
      body.appendChild(sorted);
    });
  });
  var zoom = document.getElementById('zoom');
  var larger = zoom.querySelector('img');
  body.addEventListener('click', function (event) {
    var link = event.target.closest('a.zoom');
    if (!link) return;
    event.preventDefault();
    larger.src = link.getAttribute('href');
    zoom.showModal();
  });
  zoom.addEventListener('click', function () { zoom.close(); larger.removeAttribute('src'); });
})();
)js";

}  // namespace calsvar::report
