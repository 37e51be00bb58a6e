// The embedded script of the wizard window, checked as the program holds it: Windows-1252
// bytes, 77 lines, and the two licence agreements with their exact sizes.

#include "lang/wizard_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lang/script.h"
#include "toolkit/strings.h"

namespace nv::lang {
namespace {

const std::string& Line(int number) {
    return WizardScript().at(static_cast<std::size_t>(number - 1));
}

// The text between the enclosing quotes of a script line, as written in the script.
std::string RawValue(const std::string& line) {
    const std::size_t open = line.find('\'');
    return line.substr(open + 1, line.size() - open - 2);
}

int CountEmpty(const toolkit::TStrings& lines) {
    int empty = 0;
    for (int i = 0; i < lines.Count(); ++i) {
        empty += lines.Strings(i).empty() ? 1 : 0;
    }
    return empty;
}

TEST(WizardScript, HasTwoSectionsOfTheSameThirtySevenKeys) {
    const std::vector<std::string>& script = WizardScript();
    ASSERT_EQ(script.size(), 77U);
    EXPECT_EQ(Line(1), "[English]");
    EXPECT_EQ(Line(39), "");
    EXPECT_EQ(Line(40), "[Deutsch]");
    EXPECT_EQ(Line(2), "btnNext.Caption = '&Next'");
    EXPECT_EQ(Line(38), "iGeneral.Picture = 'pic001.up.bmp'");
    EXPECT_EQ(Line(77), "iGeneral.Picture = 'pic001de.bmp'");
    for (int i = 0; i < 37; ++i) {
        const std::string& english = Line(2 + i);
        const std::string& german = Line(41 + i);
        const std::size_t separator = english.find(" = '");
        ASSERT_NE(separator, std::string::npos) << english.substr(0, 60);
        EXPECT_EQ(english.back(), '\'');
        EXPECT_EQ(german.back(), '\'');
        EXPECT_EQ(german.substr(0, separator + 4), english.substr(0, separator + 4));
        EXPECT_NE(english.front(), ';') << "no line may read as a comment";
        EXPECT_NE(german.front(), ';');
    }
}

TEST(WizardScript, TextsAreWindows1252Bytes) {
    std::string all;
    for (const std::string& line : WizardScript()) {
        all += line;
        all += '\n';
        EXPECT_EQ(line.find('\r'), std::string::npos);
    }
    // No UTF-8 lead bytes of the converted letters are left.
    EXPECT_EQ(all.find('\xC3'), std::string::npos);
    EXPECT_EQ(Line(42),
              "btnPrev.Caption = '&Zur\xFC"
              "ck'");
    EXPECT_EQ(Line(56),
              "lbSuccess3.Caption = 'Klicken Sie auf <Beenden> um die Installation "
              "abzu\x73\x63hlie\xDF"
              "en.'");
    EXPECT_EQ(Line(49),
              "lbStartmenu.Caption = 'Start&men\xFC"
              "eintrag:'");
    EXPECT_EQ(Line(52),
              "lbError.Caption = 'Kein Installationspaket gefunden. Setup.exe ist "
              "unvollst\xE4ndig.'");
    EXPECT_EQ(Line(66),
              "lbError9.Caption = 'ben\xF6tigen Sie die Zugriffsrechte eines "
              "Administrators.'");
    EXPECT_EQ(Line(30), "lbError12.Caption = 'Copy \"Setup.exe\" in a directory where you are'");
    EXPECT_EQ(Line(69),
              "lbError12.Caption = 'Kopieren Sie die Datei \"Setup.exe\" in ein "
              "Verzeichnis,'");
}

TEST(WizardScript, RadioItemsGiveTwoItemsInBothLanguages) {
    for (int number : {6, 45}) {
        toolkit::TStringList items;
        items.SetText(ParseAssignment(Line(number)).value);
        EXPECT_EQ(items.Count(), 2) << number;
    }
    EXPECT_EQ(RawValue(Line(6)), "I &agree.\\nI do n&ot agree.\\n");
    EXPECT_EQ(RawValue(Line(45)),
              "Ich &stimme dem Vertrag zu.\\nIch stimme dem Vertrag &nicht zu.");
}

TEST(WizardScript, EnglishLicenceHasItsExactSize) {
    const std::string& line = Line(7);
    ASSERT_EQ(line.rfind("reLicense.Lines = '", 0), 0U);
    const std::string raw = RawValue(line);
    EXPECT_EQ(raw.size(), 7288U);
    EXPECT_EQ(std::count(raw.begin(), raw.end(), '\''), 1);
    EXPECT_EQ(raw.substr(raw.size() - 2), "\\n");

    const Assignment assignment = ParseAssignment(line);
    EXPECT_EQ(std::count(assignment.value.begin(), assignment.value.end(), '\''), 1);
    toolkit::TStringList lines;
    lines.SetText(assignment.value);
    EXPECT_EQ(lines.Count(), 132);
    EXPECT_EQ(CountEmpty(lines), 19);
    EXPECT_NE(lines.Strings(0).find("NORVISTA"), std::string::npos);
}

TEST(WizardScript, GermanLicenceHasItsExactSize) {
    const std::string& line = Line(46);
    ASSERT_EQ(line.rfind("reLicense.Lines = '", 0), 0U);
    const std::string raw = RawValue(line);
    EXPECT_EQ(raw.size(), 9022U);
    EXPECT_EQ(raw.substr(raw.size() - 6), "\\n\\n\\n");  // ends in two empty lines

    toolkit::TStringList lines;
    lines.SetText(ParseAssignment(line).value);
    ASSERT_EQ(lines.Count(), 163);
    EXPECT_EQ(CountEmpty(lines), 27);
    EXPECT_EQ(lines.Strings(161), "");
    EXPECT_EQ(lines.Strings(162), "");
    EXPECT_NE(lines.Strings(160), "");
    EXPECT_NE(raw.find('\xFC'), std::string::npos);  // the German text has its umlauts
}

}  // namespace
}  // namespace nv::lang
