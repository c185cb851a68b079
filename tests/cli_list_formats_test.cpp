// list --format tsv|json: the table's columns by name, one row a line, whatever a file name holds.
#include "cli/list_formats.h"
#include "tests/support/load_archive.h"
#include "tests/support/run_cli.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pelvaro::testing {
namespace {

// 1/0 (the palette source), 9000/1 reusing its image, and a record the chain never reaches.
Bytes TwoRowsAndANameless() {
  return SffBuilder()
      .ImageCount(3)
      .Add({.group = 1, .item = 0, .palFlag = 0, .payload = Payload(800, 0)})
      .Add({.group = 9000, .item = 1, .link = 0, .palFlag = 1, .payload = Payload(5, 0)})
      .Build();
}

sff::Archive Loaded(const std::string& name) {
  auto archive = sff::LoadSffFromBytes(name, TwoRowsAndANameless(), [] { return true; });
  EXPECT_TRUE(archive);
  return std::move(*archive);
}

std::string Listed(const sff::Archive& archive, cli::OutputFormat format) {
  std::string text;
  cli::AppendListHeader(text, format);
  for (std::size_t row = 0; row < archive.RowCount(); ++row) cli::AppendListRow(text, archive, row, format);
  cli::AppendListEnd(text, format);
  return text;
}

TEST(ListFormats, JsonIsAnArrayOfOneObjectALineKeyedByTheCaptions) {
  TempDir dir;
  WriteBytes(dir / "USER.sff", TwoRowsAndANameless());
  const auto r = RunCli({"list", dir / "USER.sff", "--format", "json"});
  EXPECT_EQ(r.code, cli::kExitOk) << r.err;
  EXPECT_EQ(r.out,
            "[\n"
            "{\"SortNo\": \"01\", \"GroupNo\": 9000, \"ItemNo\": 1, \"PalType\": 1, \"SortKey\": \" 0000000001\", "
            "\"P.Pos\": 1, \"PCX Name\": \"USER_09000_00001.pcx\"},\n"
            "{\"SortNo\": \"02\", \"GroupNo\": 1, \"ItemNo\": 0, \"PalType\": 1, \"SortKey\": \"00000100000\", "
            "\"P.Pos\": 0, \"PCX Name\": \"USER_00001_00000.pcx\"},\n"
            "{\"SortNo\": \"03\", \"GroupNo\": 0, \"ItemNo\": 0, \"PalType\": 0, \"SortKey\": \"10000000000\", "
            "\"P.Pos\": 2, \"PCX Name\": \"\"}\n"
            "]\n");
  // Without --format, and with tsv for names with nothing to escape, the table as it always was.
  const auto plain = RunCli({"list", dir / "USER.sff"});
  EXPECT_EQ(plain.out.substr(0, plain.out.find('\n') + 1), "SortNo\tGroupNo\tItemNo\tPalType\tSortKey\tP.Pos\tPCX Name\n");
  EXPECT_EQ(RunCli({"--format=tsv", "list", dir / "USER.sff"}).out, plain.out);
}

// A file name may hold a quote, a backslash, a TAB, a control character or bytes that are not UTF-8.
TEST(ListFormats, NamesAreEscapedSoThatEachLineStaysOneRow) {
  const std::string firstJsonName = "\"PCX Name\": \"";
  const auto jsonName = [&](const std::string& archiveName) {
    const std::string text = Listed(Loaded(archiveName), cli::OutputFormat::kJson);
    const std::size_t at = text.find(firstJsonName) + firstJsonName.size();
    return text.substr(at, text.find("_09000", at) - at);
  };
  EXPECT_EQ(jsonName("a\"b\\c.sff"), "a\\\"b\\\\c");
  EXPECT_EQ(jsonName("ü名前.sff"), "ü名前");  // UTF-8 as it is
  EXPECT_EQ(jsonName("t\tn\nx\x01.sff"), "t\\tn\\nx\\u0001");
  EXPECT_EQ(jsonName("\xFF\xC3(\xE3\x81.sff"), "\xEF\xBF\xBD\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(jsonName("\xED\xA0\x80s.sff"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDs");  // a surrogate is no character

  const sff::Archive tabbed = Loaded("a\tb\\c\nd.sff");
  const std::string tsv = Listed(tabbed, cli::OutputFormat::kTsv);
  EXPECT_EQ(tsv.substr(tsv.find('\n') + 1, tsv.find('\n', tsv.find('\n') + 1) - tsv.find('\n')),
            "01\t9000\t1\t1\t 0000000001\t1\ta\\tb\\\\c\\nd_09000_00001.pcx\n");
  EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\n'), 4);  // the header and three rows
  // The plain table keeps the bytes as they are.
  const std::string plain = Listed(tabbed, cli::OutputFormat::kPlain);
  EXPECT_NE(plain.find("\ta\tb\\c\nd_09000_00001.pcx\n"), std::string::npos);
}

}  // namespace
}  // namespace pelvaro::testing
