#include "toolkit/strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"

namespace nv::toolkit {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    TStringList list;
    list.SetText(text);
    return list.Lines();
}

using Lines = std::vector<std::string>;

TEST(StringListText, EveryKindOfBreakEndsOneLine) {
    EXPECT_EQ(LinesOf("a\rb\nc\r\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(LinesOf("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR: two breaks
    EXPECT_EQ(LinesOf("a\r\n\r\nb"), (Lines{"a", "", "b"}));
}

TEST(StringListText, FinalBreakAddsNoLineButInnerEmptyLinesStay) {
    EXPECT_EQ(LinesOf("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(LinesOf("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(LinesOf("\r\n"), (Lines{""}));
    EXPECT_EQ(LinesOf(""), Lines{});
}

TEST(StringListText, NulEndsTheText) {
    EXPECT_EQ(LinesOf(std::string("a\nb\0c\nd", 7)), (Lines{"a", "b"}));
    EXPECT_EQ(LinesOf(std::string("\0abc", 4)), Lines{});
}

TEST(StringListText, ReplacesEverythingAndReportsOneChange) {
    TStringList list;
    list.Add("old 1");
    list.Add("old 2");
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.SetText("x\ny\nz");
    EXPECT_EQ(list.Lines(), (Lines{"x", "y", "z"}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list.Text(), "x\r\ny\r\nz\r\n");
}

TEST(StringList, IndexOutsideTheListRaisesAndChangesNothing) {
    TStringList list;
    list.Add("a");
    EXPECT_THROW(list.Strings(1), Error);
    EXPECT_THROW(list.Strings(-1), Error);
    EXPECT_THROW(list.Put(1, "b"), Error);
    EXPECT_THROW(list.Delete(5), Error);
    EXPECT_THROW(list.Insert(2, "b"), Error);
    EXPECT_EQ(list.Lines(), Lines{"a"});
    try {
        list.Strings(7);
        FAIL();
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("List index out of bounds (7)"),
                  std::string::npos);
    }
}

TEST(StringList, AssignCopiesAndSelfAssignKeepsTheLines) {
    TStringList source;
    source.SetText("1\n2");
    TStringList target;
    target.Add("gone");
    target.Assign(&source);
    EXPECT_EQ(target.Lines(), (Lines{"1", "2"}));
    target.Assign(&target);
    EXPECT_EQ(target.Lines(), (Lines{"1", "2"}));
    target.Assign(nullptr);
    EXPECT_EQ(target.Count(), 0);
}

}  // namespace
}  // namespace nv::toolkit
