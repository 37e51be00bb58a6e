// Entry names as Windows reads them: the conversion the setup and nvpack.exe judge names in is
// Windows' own, and the rule for names runs on its result.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "host/win32/ansi_names.h"
#include "package/format.h"

namespace {

using nv::host::CodePageToUtf16;
using nv::package::IsPlainEntryName;

// The portable Windows-1252 conversion, used where Windows' own is not at hand, gives every
// byte the character Windows gives it.
TEST(NameConversion, Windows1252MatchesWindowsForEveryByte) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string bytes(1, static_cast<char>(byte));
        EXPECT_EQ(nv::package::Windows1252ToUtf16(bytes), CodePageToUtf16(bytes, 1252))
            << "byte " << byte;
    }
}

TEST(NameConversion, MultiByteSequencesBecomeOneCharacterOrNone) {
    EXPECT_EQ(CodePageToUtf16("COM\xA9\xF6", 949), std::u16string(u"COM\u00B9"));
    EXPECT_EQ(CodePageToUtf16("\x95\x5C", 932), std::u16string(u"\u8868"));
    EXPECT_EQ(CodePageToUtf16("cut\xA9", 949), std::nullopt);
    EXPECT_EQ(CodePageToUtf16("", 949), std::u16string());
    EXPECT_EQ(nv::package::SystemNameToUtf16("Norvis.exe"), std::u16string(u"Norvis.exe"));
}

struct NameRow {
    const char* name;
    unsigned codePage;
    bool plain;
};

TEST(EntryNames, AreJudgedInTheCodePageWindowsReadsThemIn) {
    const NameRow rows[] = {
        {"COM\xA9\xF6", 949, false},     {"COM\xA9\xF6", 1252, true},
        {"lpt\xA9\xF7.txt", 949, false}, {"Com\xA9\xF8 .x", 949, false},
        {"cut\xA9", 949, false},         {"\x95\x5C.txt", 932, true},
        {"\x95\x5C.txt", 1252, false},   {"\xC7\xD1\xB1\xDB.txt", 949, true},
        {"Norvis.exe", 949, true},       {"CON.txt", 932, false},
    };
    for (const NameRow& row : rows) {
        const unsigned codePage = row.codePage;
        EXPECT_EQ(IsPlainEntryName(row.name,
                                   [codePage](std::string_view bytes) {
                                       return CodePageToUtf16(bytes, codePage);
                                   }),
                  row.plain)
            << row.name << " in " << codePage;
    }
}

}  // namespace
