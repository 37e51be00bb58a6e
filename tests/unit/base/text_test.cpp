#include "base/text.h"

#include <gtest/gtest.h>

#include <string>

namespace nv {
namespace {

TEST(CaseFolding, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(LowerCaseAscii("ENGLISH \xC4\xD6\xDC"), "english \xC4\xD6\xDC");
    EXPECT_TRUE(SameTextIgnoreCase("btnNext", "BTNNEXT"));
    EXPECT_FALSE(SameTextIgnoreCase("\xE4", "\xC4"));  // a-umlaut and A-umlaut stay different
    EXPECT_FALSE(SameTextIgnoreCase("abc", "abcd"));
    EXPECT_FALSE(SameTextIgnoreCase("[", "{"));  // 0x5B and 0x7B are not letters
    EXPECT_FALSE(SameTextIgnoreCase("@", "`"));  // the bytes just outside A..Z stay apart
}

TEST(Trimming, RemovesControlCharactersButNotHighBytes) {
    EXPECT_EQ(TrimBlanks(" \t\r\n x y \x01\x1F"), "x y");
    EXPECT_EQ(TrimBlanks("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(TrimBlanks(" \n "), "");
    EXPECT_EQ(TrimBlanks("!x!"), "!x!");  // 33 is the first byte that stays
}

struct PathCase {
    const char* path;
    const char* folderPart;
    const char* containingFolder;
    const char* withoutTrailing;
    const char* withTrailing;
};

TEST(PathText, FolderPartsAndTrailingBackslashes) {
    const PathCase cases[] = {
        {"c:\\dir\\file.exe", "c:\\dir\\", "c:\\dir", "c:\\dir\\file.exe", "c:\\dir\\file.exe\\"},
        {"c:\\file.exe", "c:\\", "c:\\", "c:\\file.exe", "c:\\file.exe\\"},
        {"c:file.exe", "c:", "c:\\", "c:file.exe", "c:file.exe\\"},
        {"c:\\x\\", "c:\\x\\", "c:\\x", "c:\\x", "c:\\x\\"},
        {"c:\\x\\\\", "c:\\x\\\\", "c:\\x", "c:\\x", "c:\\x\\\\"},
        {"file.exe", "", "", "file.exe", "file.exe\\"},
        {"", "", "", "", "\\"},
        {"\\\\server\\share\\a", "\\\\server\\share\\", "\\\\server\\share", "\\\\server\\share\\a",
         "\\\\server\\share\\a\\"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FolderPart(c.path), c.folderPart);
        EXPECT_EQ(ContainingFolder(c.path), c.containingFolder);
        EXPECT_EQ(WithoutTrailingBackslashes(c.path), c.withoutTrailing);
        EXPECT_EQ(WithTrailingBackslash(c.path), c.withTrailing);
    }
}

}  // namespace
}  // namespace nv
