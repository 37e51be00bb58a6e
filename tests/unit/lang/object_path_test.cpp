#include "lang/object_path.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "lang/multilanguage.h"
#include "test_window.h"
#include "toolkit/collection.h"
#include "toolkit/property_types.h"

namespace nv::lang {
namespace {

using testing::TestWindow;
using toolkit::TLabel;

// A collection item with one property, and a component that holds a collection of them.
class Column : public toolkit::TCollectionItem {
public:
    static const toolkit::ClassInfo& StaticClass() {
        static const toolkit::ClassInfo info(
            "Column", &toolkit::TCollectionItem::StaticClass(),
            toolkit::MakePropertyList(
                toolkit::IntegerProp("Width", &Column::Width, &Column::SetWidth),
                toolkit::ObjectProp("Font", &Column::Font, &Column::SetFont)));
        return info;
    }
    const toolkit::ClassInfo& ClassType() const override { return StaticClass(); }
    std::int32_t Width() const { return width_; }
    void SetWidth(std::int32_t width) { width_ = width; }
    toolkit::TFont* Font() const { return font_.get(); }
    void SetFont(toolkit::TFont* font) { font_->Assign(font); }

private:
    std::int32_t width_ = 0;
    std::unique_ptr<toolkit::TFont> font_ = std::make_unique<toolkit::TFont>();
};

class Grid : public toolkit::TComponent {
public:
    Grid() {
        columns_->Add<Column>();
        columns_->Add<Column>();
    }
    static const toolkit::ClassInfo& StaticClass() {
        static const toolkit::ClassInfo info(
            "Grid", &toolkit::TComponent::StaticClass(),
            toolkit::MakePropertyList(
                toolkit::ObjectProp("Columns", &Grid::Columns, &Grid::SetColumns),
                toolkit::ObjectProp("Buddy", &Grid::Buddy, &Grid::SetBuddy)));
        return info;
    }
    const toolkit::ClassInfo& ClassType() const override { return StaticClass(); }
    toolkit::TCollection* Columns() const { return columns_.get(); }
    void SetColumns(toolkit::TCollection* /*columns*/) {}
    TLabel* Buddy() const { return buddy_; }
    void SetBuddy(TLabel* buddy) { buddy_ = buddy; }

private:
    std::unique_ptr<toolkit::TCollection> columns_ = std::make_unique<toolkit::TCollection>();
    TLabel* buddy_ = nullptr;
};

// Each test works on a window of its own.
class ObjectPathTest : public ::testing::Test {
protected:
    TestWindow window;
    toolkit::TForm& form = window.Form();
};
using ResolveObjectPathTest = ObjectPathTest;
using SetPropertyFromTextTest = ObjectPathTest;
using ApplyAssignmentTest = ObjectPathTest;

TEST_F(ResolveObjectPathTest, ComponentStepsFollowOwnershipOnly) {
    EXPECT_EQ(ResolveObjectPath(&form, ""), &form);
    EXPECT_EQ(ResolveObjectPath(&form, "LBFINISH"), form.FindComponent("lbFinish"));
    // A panel owns nothing: the path through it ends in a property step that finds nothing.
    EXPECT_EQ(ResolveObjectPath(&form, "pSuccess.lbFinish"), nullptr);
    EXPECT_EQ(ResolveObjectPath(&form, "nothing"), nullptr);
    EXPECT_EQ(ResolveObjectPath(&form, "lbFinish."), nullptr);
    EXPECT_EQ(ResolveObjectPath(nullptr, "lbFinish"), nullptr);
    EXPECT_EQ(ResolveObjectPath(nullptr, ""), nullptr);
}

TEST_F(ResolveObjectPathTest, PropertyStepsFollowObjectPropertiesOnly) {
    auto& label = window.Get<TLabel>("lbSuccess1");
    EXPECT_EQ(ResolveObjectPath(&form, "lbSuccess1.Font"), label.Font());
    EXPECT_EQ(ResolveObjectPath(&form, "lbSuccess1.Caption"), nullptr);  // not an object
    EXPECT_EQ(ResolveObjectPath(&form, "lbSuccess1.Font.Name"), nullptr);
    EXPECT_EQ(ResolveObjectPath(&form, "Font"), form.Font());
    // Once a property step was taken, no component is looked up by name.
    EXPECT_EQ(ResolveObjectPath(&form, "Font.lbSuccess1"), nullptr);
}

TEST_F(ResolveObjectPathTest, AComponentWinsOverAPropertyOfTheSameName) {
    auto& fontLabel = form.CreateComponent<TLabel>("Font");
    EXPECT_EQ(ResolveObjectPath(&form, "Font"), &fontLabel);
}

TEST_F(ResolveObjectPathTest, IndexesReachCollectionItems) {
    auto& grid = form.CreateComponent<Grid>("grid");
    EXPECT_EQ(ResolveObjectPath(&form, "grid.Columns[1]"), &grid.Columns()->Items(1));
    EXPECT_EQ(ResolveObjectPath(&form, "grid.Columns[$0]"), &grid.Columns()->Items(0));
    EXPECT_EQ(ResolveObjectPath(&form, "grid.Columns[1].Font"),
              dynamic_cast<Column&>(grid.Columns()->Items(1)).Font());
    // Index texts that are no integer, or missing brackets, leave the collection itself.
    EXPECT_EQ(ResolveObjectPath(&form, "grid.Columns[x]"), grid.Columns());
    EXPECT_EQ(ResolveObjectPath(&form, "grid.Columns[1"), grid.Columns());
    // The property name is everything before the first "[": here "Columns]1", which is none.
    EXPECT_EQ(ResolveObjectPath(&form, "grid.Columns]1["), nullptr);
    EXPECT_EQ(ResolveObjectPath(&form, "grid.Columns[]"), grid.Columns());
    // An index on an object that is no collection is ignored.
    EXPECT_EQ(ResolveObjectPath(&form, "lbSuccess1.Font[0]"),
              window.Get<TLabel>("lbSuccess1").Font());
    // An index outside the collection is the toolkit's list-index error.
    EXPECT_THROW(ResolveObjectPath(&form, "grid.Columns[2]"), Error);
    EXPECT_THROW(ResolveObjectPath(&form, "grid.Columns[-1]"), Error);
    // A reference property that refers to nothing ends the walk with none.
    EXPECT_EQ(ResolveObjectPath(&form, "grid.Buddy"), nullptr);
    EXPECT_EQ(ResolveObjectPath(&form, "grid.Buddy.Font"), nullptr);
}

TEST_F(SetPropertyFromTextTest, TextsAndKeysWithoutObjectPath) {
    SetPropertyFromText(form, "caption", "Neu", &form);
    EXPECT_EQ(form.Caption(), "Neu");
    SetPropertyFromText(form, "", "x", &form);  // the empty name names nothing
    SetPropertyFromText(form, "NoSuchProperty", "x", &form);
    EXPECT_EQ(form.Caption(), "Neu");
}

TEST_F(SetPropertyFromTextTest, IntegersTakeNumbersAndIdentifiersAndKeepTheirValueOtherwise) {
    toolkit::TFont& font = *window.Get<TLabel>("lbSuccess1").Font();
    SetPropertyFromText(font, "Color", "clRed", &form);
    EXPECT_EQ(font.Color(), 255);
    SetPropertyFromText(font, "Color", "clBlack", &form);
    SetPropertyFromText(font, "Color", "#0000FF", &form);
    EXPECT_EQ(font.Color(), 255);
    SetPropertyFromText(font, "Color", "scarlet", &form);
    EXPECT_EQ(font.Color(), 255);
    auto& label = window.Get<TLabel>("lbFinish");
    SetPropertyFromText(label, "Left", "12", &form);
    SetPropertyFromText(label, "Left", "twelve", &form);
    EXPECT_EQ(label.Left(), 12);
    SetPropertyFromText(label, "Cursor", "crHandPoint", &form);
    EXPECT_EQ(label.Cursor(), -21);
}

TEST_F(SetPropertyFromTextTest, EnumerationsAndSetsRaiseTheToolkitErrorForUnknownNames) {
    auto& label = window.Get<TLabel>("lbInstallpath");
    SetPropertyFromText(label, "Alignment", "taRightJustify", &form);
    EXPECT_EQ(label.Alignment(), toolkit::TAlignment::RightJustify);
    EXPECT_THROW(SetPropertyFromText(label, "Alignment", "taRight", &form), Error);
    EXPECT_EQ(label.Alignment(), toolkit::TAlignment::RightJustify);
    SetPropertyFromText(label, "Visible", "FALSE", &form);
    EXPECT_FALSE(label.Visible());
    EXPECT_THROW(SetPropertyFromText(label, "Visible", "0", &form), Error);
    SetPropertyFromText(*label.Font(), "Style", "[fsBold]", &form);
    EXPECT_EQ(label.Font()->Style(), toolkit::StyleBit(toolkit::TFontStyle::Bold));
    EXPECT_THROW(SetPropertyFromText(*label.Font(), "Style", "[fsHeavy]", &form), Error);
    auto& button = window.Get<toolkit::TButton>("btnNext");
    EXPECT_THROW(SetPropertyFromText(button, "OnClick", "btnNextClick", &form), Error);
}

TEST_F(SetPropertyFromTextTest, StringListsAreRewrittenInPlace) {
    auto& richEdit = window.Get<toolkit::TRichEdit>("reLicense");
    toolkit::TStrings* before = richEdit.Lines();
    SetPropertyFromText(richEdit, "Lines", "one\r\n\r\nthree\r\n", &form);
    EXPECT_EQ(richEdit.Lines(), before);
    ASSERT_EQ(richEdit.Lines()->Count(), 3);
    EXPECT_EQ(richEdit.Lines()->Strings(1), "");
    EXPECT_EQ(richEdit.Lines()->Strings(2), "three");
}

TEST_F(SetPropertyFromTextTest, OtherObjectValuesArePathsFromTheRootNeverFiles) {
    auto& image = window.Get<toolkit::TImage>("iInfoPicture");
    image.Picture()->SetBitmap(toolkit::Bitmap{1, 1, {7}});
    SetPropertyFromText(image, "Picture", "pic001.up.bmp", &form);
    EXPECT_TRUE(image.Picture()->GetBitmap().Empty());  // names nothing: set to none

    auto& grid = form.CreateComponent<Grid>("grid");
    SetPropertyFromText(grid, "Buddy", "lbFinish", &form);
    EXPECT_EQ(grid.Buddy(), &window.Get<TLabel>("lbFinish"));
    SetPropertyFromText(grid, "Buddy", "btnNext", &form);  // not a label: unchanged
    EXPECT_EQ(grid.Buddy(), &window.Get<TLabel>("lbFinish"));
    SetPropertyFromText(grid, "Buddy", "", &form);  // the window itself: not a label either
    EXPECT_EQ(grid.Buddy(), &window.Get<TLabel>("lbFinish"));
    SetPropertyFromText(grid, "Buddy", "nobody", &form);
    EXPECT_EQ(grid.Buddy(), nullptr);
    // The path is resolved from the root, not from the target.
    SetPropertyFromText(grid, "Buddy", "lbSuccess1", nullptr);
    EXPECT_EQ(grid.Buddy(), nullptr);
}

TEST_F(ApplyAssignmentTest, SplitsTheKeyAtItsLastDot) {
    ApplyAssignment(&form, "lbFinish.Caption = '&Finish'");
    EXPECT_EQ(window.Caption("lbFinish"), "&Finish");
    ApplyAssignment(&form, "pSuccess.lbFinish.Caption = 'through a panel'");
    EXPECT_EQ(window.Caption("lbFinish"), "&Finish");
    ApplyAssignment(&form, "Caption = 'Window'");
    EXPECT_EQ(form.Caption(), "Window");
    ApplyAssignment(&form, "lbSuccess1.Font.Color = clRed");
    EXPECT_EQ(window.Get<TLabel>("lbSuccess1").Font()->Color(), 255);
    ApplyAssignment(&form, "no equals sign at all");
    ApplyAssignment(&form, "= 'empty key'");
    ApplyAssignment(&form, "iGeneral.Picture = 'pic001.up.bmp'");
    ApplyAssignment(nullptr, "Caption = 'no root'");
    EXPECT_EQ(form.Caption(), "Window");
}

}  // namespace
}  // namespace nv::lang
