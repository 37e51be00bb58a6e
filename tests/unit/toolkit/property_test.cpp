#include <gtest/gtest.h>

#include <string>

#include "base/error.h"
#include "toolkit/collection.h"
#include "toolkit/component.h"
#include "toolkit/graphics.h"
#include "toolkit/property_types.h"
#include "toolkit/std_controls.h"

namespace nv::toolkit {
namespace {

enum class Fruit { Apple, Pear, Plum };
constexpr std::string_view kFruitNames[] = {"fApple", "fPear", "fPlum"};
constexpr std::string_view kBasketNames[] = {"bsOne", "bsTwo", "bsThree"};

// A class that publishes one property of every kind.
class Sample : public TComponent {
public:
    static const ClassInfo& StaticClass() {
        static const ClassInfo info(
            "Sample", &TComponent::StaticClass(),
            MakePropertyList(IntegerProp("Count", &Sample::Count, &Sample::SetCount),
                             TextProp("Title", &Sample::Title, &Sample::SetTitle),
                             WideTextProp("WideTitle", &Sample::Title, &Sample::SetTitle),
                             EnumProp("Fruit", kFruitNames, &Sample::GetFruit, &Sample::SetFruit),
                             BoolProp("Flag", &Sample::Flag, &Sample::SetFlag),
                             SetProp("Basket", kBasketNames, &Sample::Basket, &Sample::SetBasket),
                             FloatProp("Ratio", &Sample::Ratio, &Sample::SetRatio),
                             CharProp("Letter", &Sample::Letter, &Sample::SetLetter),
                             Int64Prop("Big", &Sample::Big, &Sample::SetBig),
                             VariantProp("Anything", &Sample::Title, &Sample::SetTitle),
                             ObjectProp("Font", &Sample::GetFont, &Sample::SetFontRef),
                             EventProp("OnChange")));
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }

    std::int32_t Count() const { return count_; }
    void SetCount(std::int32_t count) { count_ = count; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    Fruit GetFruit() const { return fruit_; }
    void SetFruit(Fruit fruit) { fruit_ = fruit; }
    bool Flag() const { return flag_; }
    void SetFlag(bool flag) { flag_ = flag; }
    std::uint32_t Basket() const { return basket_; }
    void SetBasket(std::uint32_t basket) { basket_ = basket; }
    double Ratio() const { return ratio_; }
    void SetRatio(double ratio) { ratio_ = ratio; }
    char Letter() const { return letter_; }
    void SetLetter(char letter) { letter_ = letter; }
    std::int64_t Big() const { return big_; }
    void SetBig(std::int64_t big) { big_ = big; }
    TFont* GetFont() const { return font_; }
    void SetFontRef(TFont* font) { font_ = font; }

private:
    std::int32_t count_ = 7;
    std::string title_ = "t";
    Fruit fruit_ = Fruit::Apple;
    bool flag_ = false;
    std::uint32_t basket_ = 0;
    double ratio_ = 0.0;
    char letter_ = 'a';
    std::int64_t big_ = 0;
    TFont* font_ = nullptr;
};

TEST(PropertyLookup, FindsPropertiesOnTheClassAndItsBasesWithoutCase) {
    Sample sample;
    ASSERT_NE(sample.FindProperty("count"), nullptr);
    EXPECT_EQ(sample.FindProperty("COUNT")->Kind(), PropertyKind::Integer);
    EXPECT_EQ(sample.FindProperty("name")->Kind(), PropertyKind::Text);  // from TComponent
    EXPECT_EQ(sample.FindProperty("Tag")->Kind(), PropertyKind::Integer);
    EXPECT_EQ(sample.FindProperty(""), nullptr);
    EXPECT_EQ(sample.FindProperty("Counts"), nullptr);
    EXPECT_EQ(sample.FindProperty("WideTitle")->Kind(), PropertyKind::WideText);
    EXPECT_EQ(sample.FindProperty("OnChange")->Kind(), PropertyKind::Unsettable);
}

TEST(SetFromText, IntegersTextsAndNumbers) {
    Sample s;
    s.FindProperty("Count")->SetAsText(s, "$20");
    EXPECT_EQ(s.Count(), 32);
    s.FindProperty("Title")->SetAsText(s, " as it is \xFC ");
    EXPECT_EQ(s.Title(), " as it is \xFC ");
    s.FindProperty("Ratio")->SetAsText(s, "2.5");
    EXPECT_DOUBLE_EQ(s.Ratio(), 2.5);
    s.FindProperty("Letter")->SetAsText(s, "65");
    EXPECT_EQ(s.Letter(), 'A');
    s.FindProperty("Big")->SetAsText(s, "-5000000000");
    EXPECT_EQ(s.Big(), -5000000000LL);
    s.FindProperty("Anything")->SetAsText(s, "any text");
    EXPECT_EQ(s.Title(), "any text");
}

TEST(SetFromText, EnumerationsTakeTheirIdentifiersWithoutCase) {
    Sample s;
    s.FindProperty("Fruit")->SetAsText(s, "FPLUM");
    EXPECT_EQ(s.GetFruit(), Fruit::Plum);
    EXPECT_EQ(s.FindProperty("Fruit")->GetAsText(s), "fPlum");
    s.FindProperty("Flag")->SetAsText(s, "true");
    EXPECT_TRUE(s.Flag());
    s.FindProperty("Flag")->SetAsText(s, "False");
    EXPECT_FALSE(s.Flag());
}

TEST(SetFromText, SetsTakeNamesSeparatedByCommasOrBlanksInOptionalBrackets) {
    Sample s;
    const Property& basket = *s.FindProperty("Basket");
    basket.SetAsText(s, "[bsOne,bsThree]");
    EXPECT_EQ(s.Basket(), 0b101U);
    basket.SetAsText(s, "bsTwo bsthree");
    EXPECT_EQ(s.Basket(), 0b110U);
    basket.SetAsText(s, "[ bsOne , bsTwo ]");
    EXPECT_EQ(s.Basket(), 0b011U);
    basket.SetAsText(s, "[]");
    EXPECT_EQ(s.Basket(), 0U);
    basket.SetAsText(s, "bsTwo");
    EXPECT_EQ(basket.GetAsText(s), "[bsTwo]");
}

TEST(SetFromText, UnknownElementsRaiseTheInvalidElementErrorAndKeepTheValue) {
    Sample s;
    s.SetFruit(Fruit::Pear);
    s.SetBasket(0b001);
    EXPECT_THROW(s.FindProperty("Fruit")->SetAsText(s, "fBanana"), Error);
    EXPECT_THROW(s.FindProperty("Flag")->SetAsText(s, "yes"), Error);
    EXPECT_THROW(s.FindProperty("Basket")->SetAsText(s, "[bsTwo,bsFour]"), Error);
    EXPECT_EQ(s.GetFruit(), Fruit::Pear);
    EXPECT_EQ(s.Basket(), 0b001U);
    try {
        s.FindProperty("Fruit")->SetAsText(s, "fBanana");
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Invalid property element: fBanana");
    }
}

TEST(SetFromText, ConversionFailuresRaiseAndKeepTheValue) {
    Sample s;
    s.SetRatio(1.0);
    EXPECT_THROW(s.FindProperty("Ratio")->SetAsText(s, "one"), Error);
    EXPECT_THROW(s.FindProperty("Letter")->SetAsText(s, "A"), Error);
    EXPECT_THROW(s.FindProperty("Letter")->SetAsText(s, "256"), Error);
    EXPECT_THROW(s.FindProperty("Big")->SetAsText(s, "12x"), Error);
    EXPECT_THROW(s.FindProperty("Count")->SetAsText(s, "many"), Error);
    EXPECT_DOUBLE_EQ(s.Ratio(), 1.0);
    EXPECT_EQ(s.Letter(), 'a');
    EXPECT_EQ(s.Count(), 7);
    try {
        s.FindProperty("Ratio")->SetAsText(s, "one");
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "'one' is not a valid floating-point value");
    }
}

TEST(SetFromText, KindsWithoutConversionRaiseTheInvalidTypeError) {
    Sample s;
    EXPECT_THROW(s.FindProperty("OnChange")->SetAsText(s, "handler"), Error);
    EXPECT_THROW(s.FindProperty("Font")->SetAsText(s, "x"), Error);
    EXPECT_THROW(s.FindProperty("Title")->SetInteger(s, 1), Error);
    EXPECT_THROW(s.FindProperty("Count")->GetObject(s), Error);
}

TEST(ObjectProperties, StoreObjectsOfTheirClassOrNoneAndIgnoreOthers) {
    Sample s;
    const Property& font = *s.FindProperty("Font");
    TFont f;
    font.SetObject(s, &f);
    EXPECT_EQ(font.GetObject(s), &f);
    TStringList wrongClass;
    font.SetObject(s, &wrongClass);
    EXPECT_EQ(s.GetFont(), &f);
    font.SetObject(s, nullptr);
    EXPECT_EQ(s.GetFont(), nullptr);
}

TEST(ObjectProperties, ControlFontsAreCopiedAndNoneRestoresTheDefault) {
    TLabel label;
    TFont bold;
    bold.SetStyle(StyleBit(TFontStyle::Bold));
    bold.SetHeight(-19);
    const Property& font = *label.FindProperty("Font");
    font.SetObject(label, &bold);
    EXPECT_NE(label.Font(), &bold);
    EXPECT_EQ(label.Font()->Height(), -19);
    EXPECT_EQ(label.Font()->Style(), StyleBit(TFontStyle::Bold));
    font.SetObject(label, nullptr);
    EXPECT_EQ(label.Font()->Height(), -11);
    EXPECT_EQ(label.Font()->Name(), "MS Sans Serif");
    label.Font()->FindProperty("Style")->SetAsText(*label.Font(), "[fsItalic,fsUnderline]");
    EXPECT_EQ(label.Font()->Style(),
              StyleBit(TFontStyle::Italic) | StyleBit(TFontStyle::Underline));
}

class Column : public TCollectionItem {};

TEST(Collections, IndexOutsideRaisesTheListIndexError) {
    TCollection columns;
    auto& first = columns.Add<Column>();
    columns.Add<Column>();
    EXPECT_EQ(&columns.Items(0), &first);
    EXPECT_EQ(first.Collection(), &columns);
    EXPECT_THROW(columns.Items(2), Error);
    EXPECT_THROW(columns.Items(-1), Error);
    EXPECT_THROW(columns.Delete(2), Error);
    EXPECT_EQ(columns.Count(), 2);
}

}  // namespace
}  // namespace nv::toolkit
