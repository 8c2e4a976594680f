#!/usr/bin/env bash
# calsvar render and calsvar report under Wine, through ./calsvar: where the
# picture and the page go, what a cut raster gives, and what they refuse to
# write over. Expects what calsvar_end_to_end.sh does.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/tests/tools/calsvar_end_to_end_lib.sh"

mkdir -p "$work/files" "$work/pictures"
cp samples/drawing-a4.cal samples/blank-page.cal "$work/files/"
head -c 5048 samples/drawing-a4.cal >"$work/files/cut.cal"
cp -r "$work/files" "$work/original"
png() {  # png FILE WIDTH HEIGHT BITS: one more check, of the PNG's header
  checks=$((checks + 1))
  [[ $(od -An -tx1 -j16 -N10 "$1" | tr -d ' \n') == $(printf '%08x%08x%02x00' "$2" "$3" "$4") ]] ||
    fail "$1 is not a PNG of $2 x $3 pels, $4 bits"
}

# render: rc, arguments, stdout and stderr wanted.
d=$work/files/drawing-a4.cal
while IFS='|' read -r rc args out err; do
  eval "expect $rc render $args"
  [[ -z $out ]] || has out "$out"
  [[ -z $err ]] || has err "$err"
done <<EOF
0|"$d"|$work/files/drawing-a4.png	1654 x 2339 pels	1 bit per pel|
0|"$d" -o "$work/pictures"|$work/pictures/drawing-a4.png	1654 x 2339 pels	1 bit per pel|
0|"$d" -o "$work/pictures/small.png" --width 200|small.png	200 x 283 pels	grey|
1|"$work/files/cut.cal" -o "$work/pictures/cut.png"|cut.cal	error	raster ends after line 954 of 2339|decodes to line 954 of 2339 only; the rest of the picture is hatched
2|"$d" -o "$work/files/blank-page.cal"||is there and is not a PNG picture
2|"$d" -o "$d"||is the CALS file itself
2|"$work/files"||is a folder: render takes one file
2|"$d" --width 0||--width needs a whole number
3|"$work/files/missing.cal"||there is no such file
3|"$d" -o "$work/nowhere/x.png"||its folder does not exist
EOF
png "$work/files/drawing-a4.png" 1654 2339 1
png "$work/pictures/small.png" 200 283 8
png "$work/pictures/cut.png" 1654 2339 1
# A file with no picture size leaves the picture of an earlier run as it was.
{ head -c 1024 samples/drawing-a4.cal; printf '%-128s' 'rpelcnt:'; tail -c +1153 samples/drawing-a4.cal; } \
  >"$work/no-size.cal"
cp "$work/pictures/small.png" "$work/pictures/kept.png"
expect 1 render "$work/no-size.cal" -o "$work/pictures/small.png"
has err "no picture to render"
same "a failed render changed the picture there" "$work/pictures/kept.png" "$work/pictures/small.png"
for f in drawing-a4.cal blank-page.cal cut.cal; do
  same "render changed $f" "$work/original/$f" "$work/files/$f"
done

# The bundled samples as calsvar.exe writes them, pel for pel against
# ImageMagick's decode of the same files (libtiff's Group 4), where it is
# installed. (The generator's own pictures: page_renderer_test.)
if [[ -x /usr/bin/convert ]]; then
  for sample in drawing-a4.cal blank-page.cal unusual-records.cal archive/SCAN-0042.CG4; do
    expect 0 render "samples/$sample" -o "$work/pictures/sample.png"
    /usr/bin/convert "samples/$sample" -depth 8 gray:"$work/theirs" &&
      /usr/bin/convert "$work/pictures/sample.png" -depth 8 gray:"$work/ours" || fail "convert failed on $sample"
    same "$sample rendered differs from ImageMagick's decode" "$work/theirs" "$work/ours"
  done
else
  echo "skip ImageMagick's decode: /usr/bin/convert is not installed"
fi

# report: the page, one sheet of thumbnails, exit 1 for the cut file; run
# again over its own report it replaces it; --single-file needs no thumbs/.
expect 1 report "$work/files" -o "$work/report"
line 1 "$work/report/index.html"
has err '3 files: 2 ok, 0 with warnings, 1 with errors'
[[ -f $work/report/thumbs/0001.png && ! -e $work/report/thumbs/0002.png ]] || fail "not one sheet of thumbnails"
png "$work/report/thumbs/0001.png" 200 600 8
# The plug-in's values as kept over the run: in their cells, and rdensty's
# density giving the size in inches.
for text in '<p id="counts">3 files: 2 ok, 0 with warnings, 1 with errors</p>' '<td>DRW-1001-A</td>' \
  '<td>Flange DN80, sheet 1 of 1</td>' ' 200 dpi</td>' \
  '<td class="path">'"$work/files/cut.cal"'</td>' 'raster ends after line 954 of 2339'; do
  has report/index.html "$text"
done
expect 1 report "$work/files/drawing-a4.cal" "$work/files/cut.cal" -o "$work/report" --single-file
has err '2 files: 1 ok, 0 with warnings, 1 with errors'
[[ ! -e $work/report/thumbs ]] || fail "--single-file left the sheets of the report before"
has report/index.html 'src="data:image/png;base64,'
expect 0 report "$work/files/blank-page.cal" -o "$work/report"
# Over 65 files, drawn by several threads, the thumbnails fill two sheets:
# 64 cells in the first, in file order, and one in the second.
mkdir "$work/many"
for i in $(seq -w 1 65); do cp samples/blank-page.cal "$work/many/$i.cal"; done
expect 0 report "$work/many" -o "$work/many-report"
png "$work/many-report/thumbs/0002.png" 200 200 8
checks=$((checks + 1))
[[ $(grep -o 'src="thumbs/0001.png"[^>]*data-top="[0-9]*"' "$work/many-report/index.html" | grep -o '[0-9]*"$' |
  tr -d '"' | tr '\n' ' ') == "$(seq -s ' ' 0 200 12600) " ]] || fail "the first sheet's cells are not in file order"
[[ $(grep -c 'src="thumbs/0002.png"' "$work/many-report/index.html") == 1 ]] || fail "not one thumbnail in the second sheet"
# A folder with other files, or without -o: refused, nothing written.
expect 3 report "$work/files" -o "$work/original"
has err "holds other files and no report"
[[ ! -e $work/original/index.html ]] || fail "report wrote into a folder of other files"
expect 2 report "$work/files"
has err "report needs -o DIR"
mkdir "$work/no-cals"
expect 3 report "$work/no-cals" -o "$work/empty-report"
has err "no CALS file"
finish
