#include "viewer/command_line.h"

#include <gtest/gtest.h>

namespace vyr {
namespace {

using Tokens = std::vector<std::string>;

TEST(Tokenizer, SplitsOnBlanksAndDropsQuotes) {
  const struct {
    const char* text;
    Tokens tokens;
  } cases[] = {
      {"", {}},
      {" \t\r\n ", {}},
      {"a b  c", {"a", "b", "c"}},
      {"  lead\ttab\x01x", {"lead", "tab", "x"}},
      {"-exename \"/my shows/b.exe\" -slide 2", {"-exename", "/my shows/b.exe", "-slide", "2"}},
      {"a\"b c\"d", {"ab cd"}},
      {"\"\"", {""}},
      {"x \"\" y", {"x", "", "y"}},
      // The quote flag carries over: an unclosed quote swallows the rest of the text.
      {"\"open ended -log", {"open ended -log"}},
      {"one\" two", {"one two"}},
      // A token ending inside an open quote keeps the flag for the next token.
      {"a\"\" b\" c d\"", {"a", "b c d"}},
      {"caf\xC3\xA9 \xE4\xB8\xAD", {"caf\xC3\xA9", "\xE4\xB8\xAD"}},
  };
  for (const auto& c : cases) EXPECT_EQ(TokenizeCommandLine(c.text), c.tokens) << c.text;
}

TEST(OptionTable, ValuesBelongToTheNearestOptionBefore) {
  TCommandsStorage table;
  BuildCommands({"/opt/viewer", "a", "b", "-time", "1500", "-slide", "3", "-FileName",
                 "/x/Project.vyr", "-log", "-slide", "9", "", "extra"},
                table);
  EXPECT_EQ(table.OptionValue("", 0), "/opt/viewer");
  EXPECT_EQ(table.OptionValue("", 1), "a");
  EXPECT_EQ(table.OptionValue("", 2), "b");
  EXPECT_EQ(table.OptionValue("", 3), std::nullopt);
  // Stored in lower case: exact lookup finds only the lower-case name.
  EXPECT_TRUE(table.HasOption("filename"));
  EXPECT_FALSE(table.HasOption("FileName"));
  EXPECT_EQ(table.OptionValue("FILENAME"), "/x/Project.vyr");
  EXPECT_TRUE(table.HasOption("log"));
  EXPECT_EQ(table.OptionValue("log"), std::nullopt);
  EXPECT_FALSE(table.HasOption("filelog"));
  // An option given twice collects the values of both places; empty tokens are skipped.
  EXPECT_EQ(table.OptionValue("slide", 0), "3");
  EXPECT_EQ(table.OptionValue("slide", 1), "9");
  EXPECT_EQ(table.OptionValue("slide", 2), "extra");
  EXPECT_EQ(table.Count(), 5u);  // "", time, slide, filename, log
}

TEST(OptionTable, ManyOptionsShareTheBuckets) {
  TCommandsStorage table;
  Tokens tokens;
  for (int i = 0; i < 1000; ++i) {
    tokens.push_back("-opt" + std::to_string(i));
    tokens.push_back("v" + std::to_string(i));
  }
  BuildCommands(tokens, table);
  EXPECT_EQ(table.Count(), 1001u);
  for (int i = 0; i < 1000; i += 37)
    EXPECT_EQ(table.OptionValue("opt" + std::to_string(i)), "v" + std::to_string(i));
  table.Clear();
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_FALSE(table.HasOption("opt1"));
}

TEST(OptionTable, ParseTokenizesAndBuilds) {
  Tokens tokens = {"kept"};
  TCommandsStorage table;
  ParseCommandLine("show.exe -exename \"C:\\My Shows\\b.exe\" -startup 4711", tokens, table);
  EXPECT_EQ(tokens,
            (Tokens{"kept", "show.exe", "-exename", "C:\\My Shows\\b.exe", "-startup", "4711"}));
  EXPECT_EQ(table.OptionValue("exename"), "C:\\My Shows\\b.exe");
  EXPECT_TRUE(HasToken(tokens, "-startup"));
  EXPECT_FALSE(HasToken(tokens, "-Startup"));
  EXPECT_FALSE(HasToken(tokens, "/s"));
}

TEST(StartPosition, SlideWinsOverTimeAndBadValuesStartAtZero) {
  const struct {
    const char* text;
    int value;
    bool isTime;
  } cases[] = {
      {"", 0, false},
      {"a b -time 1500 -slide 3", 2, false},
      {"-slide 1", 0, false},
      {"-slide 0", 0, false},
      {"-slide -4", 0, false},
      {"-slide x", 0, false},
      {"-slide", 0, false},
      {"-slide 3x", 0, false},
      {"-slide 99999999999", 0, false},
      {"-slide x -time 500", 0, false},
      {"-time 1", 0, true},
      {"-time 1500", 1499, true},
      {"-time 0", 0, true},
      {"-Time 2001", 2000, true},
      {"-display 2", 0, false},
  };
  for (const auto& c : cases) {
    Tokens tokens;
    TCommandsStorage table;
    ParseCommandLine(c.text, tokens, table);
    const TStartPosition start = StartPosition(table);
    EXPECT_EQ(start.value, c.value) << c.text;
    EXPECT_EQ(start.isTime, c.isTime) << c.text;
  }
}

TEST(ProcessCommandLine, ComesFromThisProcessArguments) {
  ASSERT_FALSE(ProcessTokens().empty());
  EXPECT_EQ(OptionValue("", 0), ProcessTokens()[0]);
  EXPECT_TRUE(HasToken(ProcessTokens()[0]));
  EXPECT_FALSE(HasOption("filelog"));
}

}  // namespace
}  // namespace vyr
