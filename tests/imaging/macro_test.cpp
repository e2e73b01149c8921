// The text-macro parser: order, case, derived path and date parts, and termination.
#include <gtest/gtest.h>

#include "foundation/exceptions.h"
#include "imaging/metadata/macro_parser.h"

namespace vyr {
namespace {

TEST(MacroParser, ExpandsEveryMacroInTableOrderThroughTheCallback) {
  std::vector<std::string> asked;
  TMTParser parser([&](TMTParser&, const std::string& macro, std::string& value) {
    asked.push_back(macro);
    value = macro == "<%MainImg.PathNameExt%>" ? "C:\\Photos\\2012\\img01.jpg"
            : macro == "<%MainImg.Exif.Date%>" ? "2012:03:27 14:05:09"
            : macro == "<%MainImg.Exif.Time%>" ? "2012:03:27 14:05:09"
                                               : "[" + macro.substr(2, macro.size() - 4) + "]";
  });
  // Every macro once, written in reverse order and in other letter case.
  std::string text;
  for (size_t i = std::size(kTextMacros); i-- > 0;) {
    std::string macro(kTextMacros[i]);
    if (i % 2)
      for (char& c : macro) c = static_cast<char>(std::tolower(c));
    text += macro + "|";
  }
  const std::string result = parser.Expand(text);
  // Callbacks come in table order; derived macros ask for the path.
  std::vector<std::string> expected;
  for (size_t i = 0; i < std::size(kTextMacros); ++i)
    expected.push_back(i >= 22 && i <= 26 ? "<%MainImg.PathNameExt%>"
                                          : std::string(kTextMacros[i]));
  EXPECT_EQ(asked, expected);
  EXPECT_EQ(
      result,
      "14:05:09|2012:03:27|2012|C:\\Photos\\2012\\|img01.jpg|C:\\Photos\\2012\\img01|img01|"
      "[MainImg.IPTC.CaptionWriter]|[MainImg.IPTC.CaptionDescription]|"
      "[MainImg.IPTC.Copyright]|[MainImg.IPTC.Source]|[MainImg.IPTC.Credits]|"
      "[MainImg.IPTC.Headline]|[MainImg.IPTC.OTR]|[MainImg.IPTC.Country]|"
      "[MainImg.IPTC.ProvinceState]|[MainImg.IPTC.Sublocation]|[MainImg.IPTC.City]|"
      "[MainImg.IPTC.AuthorTitle]|[MainImg.IPTC.AuthorByline]|[MainImg.IPTC.SpecialInstructions]|"
      "[MainImg.IPTC.DocumentTitle]|C:\\Photos\\2012\\img01.jpg|[MainImg.Exif.Description]|"
      "[MainImg.Exif.Comment]|[MainImg.Height]|[MainImg.Width]|[SlidesCount]|[SlideIndex]|");
}

TEST(MacroParser, EmptyResultsAndRepeatedMacros) {
  int calls = 0;
  TMTParser parser([&](TMTParser&, const std::string&, std::string& value) {
    ++calls;
    value.clear();
  });
  EXPECT_EQ(parser.Expand("<%SlideIndex%>"), " ");
  EXPECT_EQ(parser.Expand(""), " ");
  calls = 0;
  EXPECT_EQ(parser.Expand("a<%SLIDEINDEX%>b<%slideindex%>c"), "abc");
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(parser.Expand("<%Unknown%> <%SlideIndex"), "<%Unknown%> <%SlideIndex");
}

TEST(MacroParser, ValuesHoldingMacrosStillEnd) {
  TMTParser parser([&](TMTParser&, const std::string& macro, std::string& value) {
    if (macro == "<%SlideIndex%>") value = "<%SlideIndex%>+<%SlidesCount%>";  // itself, later
    if (macro == "<%SlidesCount%>") value = "7 of <%SlideIndex%>";            // an earlier one
    if (macro == "<%MainImg.Width%>") value = "<%MainImg.Width%><%MainImg.Width%>";
    if (macro == "<%MainImg.PathNameExt%>") value = "<%MainImg.FileName%>.jpg";
  });
  EXPECT_EQ(parser.Expand("<%SlideIndex%>"), "<%SlideIndex%>+7 of <%SlideIndex%>");
  EXPECT_EQ(parser.Expand("w=<%MainImg.Width%>"), "w=<%MainImg.Width%><%MainImg.Width%>");
  EXPECT_EQ(parser.Expand("<%MainImg.PathNameExt%>"), "<%MainImg.FileName%>.jpg");

  // Values that multiply later macros stop growing at the bound.
  TMTParser doubling([&](TMTParser&, const std::string& macro, std::string& value) {
    for (size_t i = 0; i + 1 < std::size(kTextMacros); ++i)
      if (macro == kTextMacros[i])
        value = std::string(kTextMacros[i + 1]) + std::string(kTextMacros[i + 1]) +
                std::string(kTextMacros[i + 1]) + std::string(kTextMacros[i + 1]);
  });
  EXPECT_LE(doubling.Expand("<%SlideIndex%>").size(), 2 * kMaxExpandedText);
}

TEST(MacroParser, PathAndDateParts) {
  const std::string path = "C:\\Photos\\2012\\img01.jpg";
  EXPECT_EQ(PathFileName(path), "img01");
  EXPECT_EQ(PathWithoutExtension(path), "C:\\Photos\\2012\\img01");
  EXPECT_EQ(PathFileNameExt(path), "img01.jpg");
  EXPECT_EQ(PathFolder(path), "C:\\Photos\\2012\\");
  EXPECT_EQ(PathFolderName(path), "2012");
  EXPECT_EQ(PathWithoutExtension("C:\\a.b\\noext"), "C:\\a.b\\noext");
  EXPECT_EQ(PathFolderName("img.jpg"), "");
  EXPECT_EQ(PathFolder("img.jpg"), "");

  TMTParser parser(
      [](TMTParser&, const std::string&, std::string& value) { value = "2012:03:27"; });
  EXPECT_EQ(parser.Expand("<%MainImg.Exif.Date%>/<%MainImg.Exif.Time%>"), "2012:03:27/");
}

TEST(MacroParser, AnUnassignedCallbackIsAnAssertion) {
  TMTParser parser;
  EXPECT_THROW(parser.Expand("x"), EAssertionFailed);
}

}  // namespace
}  // namespace vyr
