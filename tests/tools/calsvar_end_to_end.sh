#!/usr/bin/env bash
# calsvar end to end under Wine, through ./calsvar as a person runs it: the
# real plug-in DLL, registered in its own prefix, on the bundled samples and
# on temporary copies. Expects CALSVAR_BUILD_DIR (a windows build tree with
# mirotex.dll and calsvar.exe), CALSVAR_PREFIX and CALSVAR_NO_BUILD=1 from
# the test registration.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/tests/tools/calsvar_end_to_end_lib.sh"

# get, text: records in file order, then the derived tags, then sub-tags.
expect 0 get samples/drawing-a4.cal
line 1 $'srcdocid\tDRW-1001-A'
line 9 $'rpelcnt\t001654,002339'
line 11 $'notes\tFlange DN80, sheet 1 of 1'
line 12 $'width\t1654'
line 13 $'height\t2339'
line 14 $'colordepth\t1'
line 15 $'orientation\t000'
has out $'pelheight\t002339'
has out $'density\t0200'

# get, JSON, with a name that does not exist: exit 1 and a note. The file
# by its full path, as in a table.
expect 1 get --json samples/drawing-a4.cal --name RPELCNT --name nosuch
line 1 '{"file": "'"$root"'/samples/drawing-a4.cal", "variables": [{"name": "RPELCNT", "found": true, "value": "001654,002339"}, {"name": "nosuch", "found": false, "value": null}]}'
has err 'no variable named "nosuch"'

# Unusual but valid records.
expect 0 get --json samples/unusual-records.cal
line 1 '{"file": "'"$root"'/samples/unusual-records.cal", "variables": [{"name": "srcdocid", "found": true, "value": "ABC"}, {"name": "dstdocid", "found": true, "value": "NONE"}, {"name": "txtfilid", "found": true, "value": "NONE"}, {"name": "srcgph", "found": true, "value": "NONE"}, {"name": "docls", "found": true, "value": "NONE"}, {"name": "rtype", "found": true, "value": "1"}, {"name": "rorient", "found": true, "value": "090,180"}, {"name": "rpelcnt", "found": true, "value": "000800,000600"}, {"name": "rdensty", "found": true, "value": "0150"}, {"name": "notes", "found": true, "value": ""}, {"name": "width", "found": true, "value": "800"}, {"name": "height", "found": true, "value": "600"}, {"name": "colordepth", "found": true, "value": "1"}, {"name": "orientation", "found": true, "value": "090"}, {"name": "lineprogression", "found": true, "value": "180"}, {"name": "pelwidth", "found": true, "value": "000800"}, {"name": "pelheight", "found": true, "value": "000600"}, {"name": "density", "found": true, "value": "0150"}]}'

# set a string and a date on a copy, then read them back; the picture
# behind the header stays as it was.
cp samples/drawing-a4.cal "$work/copy.cal"
expect 0 set --date-style 103 "$work/copy.cal" "notes=Checked by Ann" "dstdocid@date=2024-03-05T13:52:30" orientation=090
line 1 $'notes\taccepted'
line 2 $'dstdocid\taccepted'
expect 0 set --json "$work/copy.cal" "srcdocid@date=2005-09-30T23:15:00"
line 1 '{"file": "'"$work"'/copy.cal", "saved": true, "variables": [{"name": "srcdocid", "accepted": true, "value": "Sep 30 2005 11:15 PM"}], "records": [{"record": 1, "old": "srcdocid: DRW-1001-A", "new": "srcdocid: Sep 30 2005 11:15 PM"}]}'
# Quotes and backslashes come out escaped.
expect 0 set "$work/copy.cal" 'notes=say "hi" \ tab'
expect 0 get --json "$work/copy.cal" --name notes
line 1 '{"file": "'"$work"'/copy.cal", "variables": [{"name": "notes", "found": true, "value": "say \"hi\" \\ tab"}]}'
expect 0 set "$work/copy.cal" "notes=Checked by Ann"
expect 0 get "$work/copy.cal" --name notes --name dstdocid --name rorient
line 1 $'notes\tChecked by Ann'
line 2 $'dstdocid\t05/03/2024'
line 3 $'rorient\t090,270'
same "bytes after the first 1408 changed" -i 1408 samples/drawing-a4.cal "$work/copy.cal"

# A read-only record is refused: exit 1, a reason, the file untouched.
cp samples/drawing-a4.cal "$work/readonly.cal"
expect 1 set "$work/readonly.cal" rtype=2
line 1 $'rtype\trefused'
has err 'read-only'
same "a refused write changed the file" samples/drawing-a4.cal "$work/readonly.cal"

# Files that cannot be loaded: exit 3, the file, the code and its meaning.
expect 3 get "$work/missing.cal"
has err "$work/missing.cal: cannot be loaded (0x80040228"
has err "no such file"
head -c 1000 samples/drawing-a4.cal >"$work/short.cal"
expect 3 get --json "$work/short.cal"
has err "0x80040229"
has out '{"file": "'"$work"'/short.cal", "error": {"code": "0x80040229", "message": "'

# A broken configuration: check-config names the line; a load names the record.
mkdir -p "$work/broken/FileFormats"
printf '; broken on purpose\n[rorient]\nTagnames=a;b\nTagpositions=1-3;7-5\n' >"$work/broken/FileFormats/Mirotex.ini"
expect 1 check-config "$work/broken/FileFormats/Mirotex.ini"
has out 'Mirotex.ini:4: [rorient] fails: Tagpositions entry 2 "7-5"'
has out 'starts after it ends'
expect 3 --shared-folder "$work/broken" get samples/drawing-a4.cal
has err 'refuses the record "rorient": line 4'
# Advice works as printed: it names the folder this run was given.
has err "run 'calsvar --shared-folder $work/broken check-config' for all problems"
CALSVAR_SHARED="$work/broken" expect 1 check-config
has out '1 would make loads fail'
expect 0 check-config --json
has out '"sections": 4, "failing": 0, "warnings": 0, "findings": []}'

# Comment lines in the configuration change nothing.
mkdir -p "$work/bare/FileFormats"
grep -v '^;' samples/install/FileFormats/Mirotex.ini >"$work/bare/FileFormats/Mirotex.ini"
expect 0 get --json samples/drawing-a4.cal
cp "$work/out" "$work/with-comments"
expect 0 --shared-folder "$work/bare" get --json samples/drawing-a4.cal
same "comment lines changed what the plug-in shows" "$work/out" "$work/with-comments"

# A folder: its CALS files, recursively, whatever the case of the extension.
expect 0 get --json samples --name srcdocid
line 1 '{"file": "'"$root"'/samples/blank-page.cal", "variables": [{"name": "srcdocid", "found": true, "value": "NONE"}]}'
line 2 '{"file": "'"$root"'/samples/drawing-a4.cal", "variables": [{"name": "srcdocid", "found": true, "value": "DRW-1001-A"}]}'
line 3 '{"file": "'"$root"'/samples/unusual-records.cal", "variables": [{"name": "srcdocid", "found": true, "value": "ABC"}]}'
line 4 '{"file": "'"$root"'/samples/archive/SCAN-0042.CG4", "variables": [{"name": "srcdocid", "found": true, "value": "SCAN-0042"}]}'
# Results for a file or pipe are written in pieces, yet in one shared file
# a file's message still follows that file's lines.
checks=$((checks + 1))
./calsvar get samples --name srcdocid --name nosuch >"$work/out" 2>&1
[[ $(sed -n 3p "$work/out") == 'calsvar: samples/blank-page.cal: no variable named "nosuch"'* &&
  $(sed -n 4p "$work/out") == '== samples/drawing-a4.cal' ]] || fail "stdout and stderr lost their order in one file"
# Several pieces' worth of results (some 330 KB): every line arrives whole.
mkdir "$work/many"
for i in $(seq 300); do cp samples/drawing-a4.cal "$work/many/d$i.cal"; done
expect 0 get --json "$work/many"
[[ $(wc -l <"$work/out") == 300 && $(grep -c '"found": true, "value": "DRW-1001-A"}.*}]}$' "$work/out") == 300 ]] ||
  fail "a long result lost or split lines"

# info: what the format object says about itself.
expect 0 info --json
line 1 '{"name": "KORVANE PDM", "description": "File format plugin for CALS files.", "extensions": "cal,ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst", "groups": [{"extensions": "ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst,cal", "kind": 4, "id": "{789526CA-F6A8-496A-8975-34C8F99FE1D5}"}]}'

# Without registration the host cannot create the plug-in; --dll still works.
dll=$CALSVAR_BUILD_DIR/module/mirotex.dll
expect 0 unregister --dll "$dll"
checks=$((checks + 1))
"$WINE_BIN" "$CALSVAR_BUILD_DIR/module/calsvar.exe" info >"$work/out" 2>"$work/err"
(($? == 3)) || fail "calsvar.exe info without registration did not exit 3"
has err 'register it with'
checks=$((checks + 1))
"$WINE_BIN" "$CALSVAR_BUILD_DIR/module/calsvar.exe" --version >"$work/out" 2>"$work/err"
(($? == 3)) || fail "calsvar.exe --version without registration did not exit 3"
line 2 'plug-in: none registered ("Mirotex.CalsFormat" is not in the registry); register mirotex.dll with regsvr32, or name one with --dll PATH'
expect 3 --dll "$work/nowhere.dll" --version
has out "plug-in, given with --dll: $work/nowhere.dll: no version information"
expect 0 get --dll "$dll" samples/drawing-a4.cal --name rtype
line 1 $'rtype\t1'
expect 0 --dll "$dll" --version
line 2 "plug-in $MIROTEX_VERSION, given with --dll: $dll"
expect 0 register
# --version: the project version, and the DLL that is now registered.
expect 0 --version
line 1 "calsvar $MIROTEX_VERSION"
line 2 "plug-in $MIROTEX_VERSION, registered: Z:${dll//\//\\}"

# check: the bundled samples are whole and standard, but for the one that
# is unusual on purpose; a cut copy names the line; a missing file is exit 3.
expect 1 check samples
line 1 $'samples/blank-page.cal\tok'
line 2 $'samples/drawing-a4.cal\tok'
line 3 $'samples/unusual-records.cal\terror\tthe name "SrcDocId" has upper-case letters: GDAL looks for the name in lower case only, record 1, byte 0'
has out $'samples/archive/SCAN-0042.CG4\tok'
has err '4 files: 3 ok, 0 with warnings, 1 with errors'
expect 0 check --json samples/drawing-a4.cal
line 1 '{"file": "samples/drawing-a4.cal", "result": "ok", "width": 1654, "height": 2339, "linesDecoded": 2339, "bytes": 7664, "findings": []}'
head -c 2148 samples/blank-page.cal >"$work/cut.cal"
expect 1 check "$work/cut.cal"
line 1 "$work/cut.cal"$'\terror\traster ends after line 800 of 2200: the file was probably cut (decoded as 2200 lines of 1728 pels, as rpelcnt gives them), byte 2148'
has err '1 files: 0 ok, 0 with warnings, 1 with errors'
expect 3 check "$work/missing.cal" samples/blank-page.cal
line 1 "$work/missing.cal"$'\terror\tcannot be read: there is no such file'
has err '2 files: 1 ok, 0 with warnings, 1 with errors'

# Usage errors: one line and where help is, exit 2.
expect 2 check
expect 2 get
expect 2 set samples/drawing-a4.cal notes
expect 2 set samples/drawing-a4.cal "notes@date=2024-02-30"
has err "run 'calsvar --help'"
lacks err 'usage:'
expect 2
has err 'usage:'
expect 2 set --date-style 999 samples/drawing-a4.cal notes=x
has err 'not one of the date styles listed'
expect 2 set samples/drawing-a4.cal notes@date=0001-01-01
has err 'the year must be 100 to 9999'
expect 2 --shared-folder "$work/nowhere" get samples
has err "$work/nowhere does not exist"
expect 0 --help
has out '--shared-folder DIR'
has out 'CALSVAR_SHARED'
has out '113     DD Month YYYY HH:mm:ss:000   05 Mars 2024 13:52:30:000'
has out 'noon is "Mar 05 2024 12:00 AM"'
has out 'renders every number not listed as style 113'
has out 'Windows ANSI code page (here: 1252)'
has out '3  a file could not be loaded or saved, no CALS file was found, or --version found no'

# set writes exactly what was asked, or nothing: each row gives the exit
# code, the message, and the file's bytes against the original.
original=samples/drawing-a4.cal
set_row() {  # set_row RC MESSAGE NAME=VALUE...: set on a fresh copy
  local want=$1 message=$2
  shift 2
  cp "$original" "$work/row.cal"
  expect "$want" set "$work/row.cal" "$@"
  [[ -z $message ]] || has err "$message"
  same "set $* changed the file" "$original" "$work/row.cal"
}
set_row 1 '"notes" refused: cut to 121 characters: the record holds no more' "notes=$(printf 'x%.0s' {1..200})"
set_row 1 '"orientation" refused: cut to 3 characters: the field holds no more' orientation=1234
set_row 1 "'ż' (U+017C) at character 3, which the ANSI code page 1252 cannot hold" 'notes=Zażółć'
set_row 1 'an empty value is stored as NONE, which would stand cut to the field' orientation=
set_row 1 'a line feed (U+000A) at character 2' $'notes=a\nb'
set_row 1 '"nosuch" refused: no such variable' srcdocid=X nosuch=5
line 1 $'srcdocid\tnot saved'
line 2 $'nosuch\trefused'
set_row 1 'blanks at its start or end are not kept' 'notes=  indented'
set_row 0 '' --dry-run notes=Hello orientation=090
line 1 $'notes\tFlange DN80, sheet 1 of 1\tHello'
line 2 $'orientation\t000\t090'
# A dry run names what it would refuse, and why, instead of old and new.
set_row 1 '' --dry-run orientation=1234
line 1 $'orientation\trefused\tcut to 3 characters: the field holds no more'
# The picture size is the raster's: read-only in the sample configuration,
# and refused where a configuration leaves it writable.
set_row 1 'read-only: a sub-tag of the read-only record "rpelcnt"' pelheight=003000
mkdir -p "$work/writable/FileFormats"
grep -v '^Readonly=1' samples/install/FileFormats/Mirotex.ini >"$work/writable/FileFormats/Mirotex.ini"
CALSVAR_SHARED="$work/writable" set_row 1 'it would change the picture size (rpelcnt)' pelwidth=1728
expect 0 check-config "$work/writable/FileFormats/Mirotex.ini"
has out 'the host could change the picture size, and readers refuse a file whose size does not match its raster'
# A save that would give the header what other readers refuse.
set_row 1 'the saved header would hold what other CALS readers refuse: rdensty "abcd" is not a number' density=abcd
line 1 $'density\tnot saved'
# Every record a save rewrites is shown, also those nobody asked for.
cp samples/unusual-records.cal "$work/row.cal"
expect 0 set "$work/row.cal" notes=Hello
line 1 $'notes\taccepted'
line 2 $'record 1\tSrcDocId:   ABC\tsrcdocid: ABC'
line 5 $'record 6\tDOCLS:NONE\trtype: 1'
line 10 $'record 11\tnotes:\t'
has err 'warning added by the save, as calsvar check sees it: "srcgph" belongs in record 5, record 4'
expect 0 set --json --dry-run "$work/row.cal" notes=Again
has out '"records": [{"record": 10, "old": "notes: Hello", "new": "notes: Again"}]}'
set_row 1 'read-only' --json rtype=2
has out '"reason": "read-only: the tag configuration makes it so"'
# An empty value is NONE, the format's word for no value.
cp "$original" "$work/row.cal"
expect 0 set "$work/row.cal" notes=
expect 0 get "$work/row.cal" --name notes
line 1 $'notes\tNONE'
# Control characters only when asked for; text output keeps one line per
# variable.
expect 0 set --allow-control "$work/row.cal" $'notes=tab\there \\ two\nlines'
expect 0 get "$work/row.cal" --name notes
line 1 $'notes\ttab\\there \\\\ two\\nlines'
# A read-only file: the save fails and says why.
cp "$original" "$work/locked.cal"
chmod a-w "$work/locked.cal"
expect 3 set "$work/locked.cal" notes=x
has err "$work/locked.cal: not saved: the file is read-only; nothing was written"
line 1 $'notes\tnot saved'
same "a failed save changed the file" "$original" "$work/locked.cal"

# Files that do not look like a CALS header: set refuses them unless
# --force; get shows them with a warning.
{ printf 'notes: plain text\n'; head -c 2100 /dev/zero | tr '\0' ' '; } >"$work/text.cal"
cp "$work/text.cal" "$work/text-original.cal"
expect 1 set "$work/text.cal" notes=x
has err 'does not look like a CALS header: no record "rpelcnt" with two numbers'
same "set changed a file that is no CALS header" "$work/text-original.cal" "$work/text.cal"
expect 0 get "$work/text.cal"
has err "warning: $work/text.cal does not look like a CALS header"
has err "'calsvar check'"
expect 0 set --force "$work/text.cal" notes=x
differs "set --force left the file as it was" "$work/text-original.cal" "$work/text.cal"
{ printf '\x89PNG\r\n\x1a\n'; head -c 3000 /dev/zero; } >"$work/picture.cal"
cp "$work/picture.cal" "$work/picture-original.cal"
expect 1 set "$work/picture.cal" notes=x
has err 'byte 6 is 0x1A'
same "set changed a picture" "$work/picture-original.cal" "$work/picture.cal"
# A header without records: a note, exit 0 (no null array to the plug-in).
head -c 2048 /dev/zero | tr '\0' ' ' >"$work/blank.cal"
expect 0 get "$work/blank.cal"
has err "$work/blank.cal: the header holds no records"
# A name that is not found prints nothing on stdout.
expect 1 get samples/drawing-a4.cal --name nosuch
[[ ! -s $work/out ]] || fail "get printed something for a name that is not found"

# The configuration: missing, or the FileFormats folder given itself.
mkdir -p "$work/noconfig/FileFormats"
expect 0 --shared-folder "$work/noconfig" get samples/drawing-a4.cal --name notes
has err "note: the tag configuration $work/noconfig/FileFormats/Mirotex.ini does not exist"
expect 0 --shared-folder "$work/noconfig/FileFormats" get samples/drawing-a4.cal --name notes
has err 'looks like the FileFormats folder itself'
expect 0 check-config
has out "$root/samples/install/FileFormats/Mirotex.ini: 4 section(s) checked"

# No CALS file found: exit 3, the folder and the extensions looked for.
mkdir -p "$work/empty"
expect 3 get "$work/empty"
has err "no CALS files in $work/empty (looked for files ending in .cal, .ct1"
# Folder walks do not follow links to folders.
mkdir -p "$work/walk/sub"
cp samples/blank-page.cal "$work/walk/sub/"
ln -s .. "$work/walk/sub/up"
ln -s "$root/samples" "$work/walk/elsewhere"
expect 0 get "$work/walk" --name srcdocid
line 1 "== $work/walk/sub/blank-page.cal"
[[ $(wc -l <"$work/out") == 2 ]] || fail "a folder walk followed a link"
# Control bytes of a header reach no terminal: text shows ESC and BEL as
# \xHH; get --name judges the file from the plug-in's answers alone.
record() { printf '%-128s' "$1"; }
{ record 'rpelcnt: 000010,000010'; record $'notes: \e]0;owned\a\e[2J'; head -c 2000 /dev/zero | tr '\0' ' '; } \
  >"$work/escape.cal"
expect 0 get "$work/escape.cal" --name notes
line 1 $'notes\t\\x1B]0;owned\\x07\\x1B[2J'
has err 'does not look like a CALS header ("notes" holds 0x1B'
checks=$((checks + 1))
! grep -q $'[\e\a]' "$work/out" "$work/err" || fail "a control byte reached the terminal"
expect 0 get --json "$work/escape.cal" --name notes
has out '"value": "\u001b]0;owned\u0007\u001b[2J"'

# set on a folder ends with the summary of set --from.
mkdir -p "$work/batch/sub"
cp samples/drawing-a4.cal "$work/batch/"
cp samples/blank-page.cal "$work/batch/sub/"
expect 0 set "$work/batch" notes=Batch
has err '2 files: 2 saved, 0 unchanged, 0 refused, 0 failed'
cp -r "$work/batch" "$work/batch-saved"
expect 1 set "$work/batch" rtype=2
has err '2 files: 0 saved, 0 unchanged, 2 refused, 0 failed'
checks=$((checks + 1))
diff -r "$work/batch-saved" "$work/batch" >/dev/null || fail "a refused set on a folder changed a file"

# A file that is no DLL: the system's message without "%1".
printf 'no DLL' >"$work/fake.dll"
expect 3 --dll "$work/fake.dll" info
lacks err '%1'
has err "$work/fake.dll: the DLL cannot be loaded"

finish

