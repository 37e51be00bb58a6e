#include "lang/script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/wizard_script.h"
#include "toolkit/strings.h"

namespace nv::lang {
namespace {

using Lines = std::vector<std::string>;

Lines Select(const std::string& scriptText, const std::string& language) {
    toolkit::TStringList script;
    script.SetText(scriptText);
    return SelectSection(script, language);
}

void FillWithWizardScript(toolkit::TStringList& list) {
    for (const std::string& line : WizardScript()) {
        list.Add(line);
    }
}

TEST(SelectSection, MatchesSectionNamesWithoutCaseButExactlyOtherwise) {
    toolkit::TStringList script;
    FillWithWizardScript(script);
    const Lines english = SelectSection(script, "English");
    ASSERT_EQ(english.size(), 37U);
    EXPECT_EQ(english.front(), "btnNext.Caption = '&Next'");
    EXPECT_EQ(SelectSection(script, "english"), english);
    EXPECT_EQ(SelectSection(script, "ENGLISH"), english);
    EXPECT_TRUE(SelectSection(script, "English ").empty());  // the name is not trimmed
    EXPECT_TRUE(SelectSection(script, "Englisch").empty());
    EXPECT_TRUE(SelectSection(script, "").empty());
    EXPECT_EQ(SelectSection(script, "DEUTSCH").size(), 37U);
}

TEST(SelectSection, HeaderNamesAreTakenBetweenTheBracketsUntrimmed) {
    EXPECT_TRUE(Select("[ English]\na=1", "English").empty());
    EXPECT_TRUE(Select("[English ]\na=1", "English").empty());
    EXPECT_EQ(Select("  [English] trailing text\na=1", "English"), Lines{"a=1"});
    EXPECT_EQ(Select("[English]x]\na=1", "English"), Lines{"a=1"});
    // Only A..Z fold: the umlaut section matches only itself.
    EXPECT_EQ(Select("[Fran\xC7"
                     "ais]\na=1",
                     "FRAN\xC7"
                     "AIS"),
              Lines{"a=1"});
    EXPECT_TRUE(Select("[Fran\xC7"
                       "ais]\na=1",
                       "FRAN\xE7"
                       "AIS")
                    .empty());
}

TEST(SelectSection, TheEmptyNameCollectsLinesBeforeAnyHeaderAndUnderBrokenHeaders) {
    const std::string script =
        "before=1\n"
        "[English]\nen=1\n"
        "[broken\nbroken=1\n"
        "[]\nempty=1\n"
        "[Deutsch]\nde=1\n";
    EXPECT_EQ(Select(script, ""), (Lines{"before=1", "broken=1", "empty=1"}));
    EXPECT_EQ(Select(script, "English"), Lines{"en=1"});
}

TEST(SelectSection, SkipsCommentsAndEmptyLinesAndTrimsTheRest) {
    const std::string script =
        "[English]\n"
        "   ; btnNext.Caption = 'commented out'\n"
        "\t \n"
        "  btnNext.Caption = 'x'  \t\n";
    EXPECT_EQ(Select(script, "English"), Lines{"btnNext.Caption = 'x'"});
}

TEST(SelectSection, RepeatedSectionsContributeAllTheirLinesInOrder) {
    const std::string script = "[English]\na=1\n[Deutsch]\nb=2\n[ENGLISH]\na=3\n";
    EXPECT_EQ(Select(script, "english"), (Lines{"a=1", "a=3"}));
}

Assignment Parse(const std::string& line) {
    return ParseAssignment(line);
}

TEST(ParseAssignment, SplitsAtTheFirstEqualsSignAndTrimsBothSides) {
    EXPECT_EQ(Parse(" btnNext.Caption \t=  '&Next' ").key, "btnNext.Caption");
    EXPECT_EQ(Parse(" btnNext.Caption \t=  '&Next' ").value, "&Next");
    const Assignment withEquals = Parse("a = 'x = y'");
    EXPECT_EQ(withEquals.key, "a");
    EXPECT_EQ(withEquals.value, "x = y");
    const Assignment noEquals = Parse("just a value");
    EXPECT_EQ(noEquals.key, "");
    EXPECT_EQ(noEquals.value, "just a value");
    EXPECT_EQ(Parse("=v").key, "");
    EXPECT_EQ(Parse("k=").value, "");
}

TEST(ParseAssignment, RemovesOnlyOnePairOfEnclosingQuotes) {
    EXPECT_EQ(Parse("k = plain").value, "plain");
    EXPECT_EQ(Parse("k = 'open").value, "'open");
    EXPECT_EQ(Parse("k = close'").value, "close'");
    EXPECT_EQ(Parse("k = '").value, "");
    EXPECT_EQ(Parse("k = ''").value, "");
    EXPECT_EQ(Parse("k = '''").value, "'");
    EXPECT_EQ(Parse("k = 'it''s'").value, "it''s");  // a doubled quote is not collapsed
    EXPECT_EQ(Parse("k = ' padded '").value, " padded ");
    EXPECT_EQ(Parse("k = 'say \"hi\"'").value, "say \"hi\"");
}

TEST(ParseAssignment, TurnsBackslashNIntoLineBreaksAndNothingElse) {
    EXPECT_EQ(Parse("k = 'one\\ntwo'").value, "one\r\ntwo");
    EXPECT_EQ(Parse("k = one\\ntwo").value, "one\r\ntwo");  // unquoted too
    EXPECT_EQ(Parse("k = a\\Nb").value, "a\\Nb");
    EXPECT_EQ(Parse("k = a\\tb").value, "a\\tb");
    EXPECT_EQ(Parse("k = a\\").value, "a\\");
    EXPECT_EQ(Parse("k = a\\\\nb").value, "a\\\r\nb");
    EXPECT_EQ(Parse("k = '\\n\\n'").value, "\r\n\r\n");
}

}  // namespace
}  // namespace nv::lang
