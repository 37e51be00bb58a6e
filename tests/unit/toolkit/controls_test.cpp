#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "toolkit/control_factory.h"
#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/radio_group.h"
#include "toolkit/std_controls.h"

namespace nv::toolkit {
namespace {

// A backend that writes down what it is told, as "attach name", "detach name" or
// "name:property".
class RecordingBackend : public ControlBackend {
public:
    void Attach(TControl& control) override { log.push_back("attach " + control.Name()); }
    void Detach(TControl& control) override { log.push_back("detach " + control.Name()); }
    void Changed(TControl& control, ControlProperty property) override {
        log.push_back(control.Name() + ":" + std::to_string(static_cast<int>(property)));
    }
    static std::string Entry(const TControl& control, ControlProperty property) {
        return control.Name() + ":" + std::to_string(static_cast<int>(property));
    }
    std::vector<std::string> log;
};

template <class T>
T& Create(TForm& form, ComponentKind kind, const std::string& name, TWinControl* parent = nullptr) {
    return dynamic_cast<T&>(CreateComponentOfKind(form, kind, name, parent));
}

TEST(RadioGroup, ChosenItemFollowsTheItemCount) {
    TRadioGroup group;
    group.Items()->SetText("a\nb\nc");
    group.SetItemIndex(1);
    group.Items()->SetText("x\ny");  // still below the count: stays
    EXPECT_EQ(group.ItemIndex(), 1);
    group.SetItemIndex(1);
    group.Items()->SetText("only");  // no longer below: the last item
    EXPECT_EQ(group.ItemIndex(), 0);
    group.Items()->SetText("");  // empty: none
    EXPECT_EQ(group.ItemIndex(), -1);
    group.Items()->SetText("p\nq");  // none stays none
    EXPECT_EQ(group.ItemIndex(), -1);
}

TEST(RadioGroup, ItemIndexIsClampedToTheItems) {
    TRadioGroup group;
    group.Items()->SetText("a\nb");
    group.SetItemIndex(5);
    EXPECT_EQ(group.ItemIndex(), 1);
    group.SetItemIndex(-7);
    EXPECT_EQ(group.ItemIndex(), -1);
}

TEST(RadioGroup, UserSelectionChoosesThenRunsOnClick) {
    TRadioGroup group;
    group.Items()->SetText("English\nDeutsch");
    int seenIndex = -2;
    TComponent* sender = nullptr;
    group.OnClick = [&](TComponent& s) {
        sender = &s;
        seenIndex = group.ItemIndex();
    };
    group.SetItemIndex(0);  // set by code: no click
    EXPECT_EQ(seenIndex, -2);
    group.SelectByUser(1);
    EXPECT_EQ(seenIndex, 1);
    EXPECT_EQ(sender, &group);
}

TEST(ButtonsAndBoxes, ClicksRunTheirHandlers) {
    TButton button;
    int clicks = 0;
    button.Click();  // no handler: nothing happens
    button.OnClick = [&](TComponent&) { ++clicks; };
    button.Click();
    EXPECT_EQ(clicks, 1);

    TCheckBox box;
    bool stateInHandler = false;
    box.OnClick = [&](TComponent&) { stateInHandler = box.Checked(); };
    box.ClickByUser();
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(stateInHandler);
    box.SetChecked(false);
    EXPECT_TRUE(stateInHandler);  // set by code: no click
}

TEST(ProgressBar, PositionStaysWithinTheRange) {
    TProgressBar bar;
    bar.SetPosition(150);
    EXPECT_EQ(bar.Position(), 100);
    bar.SetPosition(-3);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetPosition(80);
    bar.SetMax(50);
    EXPECT_EQ(bar.Position(), 50);
    bar.SetMin(60);  // a minimum above the maximum raises the maximum with it
    EXPECT_EQ(bar.Max(), 60);
    EXPECT_EQ(bar.Position(), 60);
    bar.SetRange(0, 100);
    bar.SetPosition(95);
    bar.SetStep(10);
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 100);
    bar.SetStep(2147483647);
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 100);
}

TEST(Pictures, ListHandsOutCopiesAndRejectsWrongSizes) {
    TImageList list;
    list.SetWidth(2);
    list.SetHeight(1);
    list.Add(Bitmap{2, 1, {1, 2}});
    EXPECT_THROW(list.Add(Bitmap{1, 2, {1, 2}}), Error);
    EXPECT_THROW(list.Add(Bitmap{2, 1, {1}}), Error);
    TImage image;
    list.GetBitmap(0, *image.Picture());
    EXPECT_EQ(image.Picture()->GetBitmap(), (Bitmap{2, 1, {1, 2}}));
    EXPECT_THROW(list.GetBitmap(1, *image.Picture()), Error);
    EXPECT_THROW(image.Picture()->SetBitmap(Bitmap{3, 3, {0}}), Error);
    EXPECT_EQ(image.Picture()->GetBitmap().width, 2);
    image.SetPicture(nullptr);
    EXPECT_TRUE(image.Picture()->GetBitmap().Empty());
}

TEST(VisualParent, IsIndependentOfTheOwner) {
    TForm form;
    auto& panel = Create<TPanel>(form, ComponentKind::Panel, "pLicense", &form);
    auto& label = Create<TLabel>(form, ComponentKind::Label, "lbLicense", &panel);
    EXPECT_EQ(label.Owner(), &form);
    EXPECT_EQ(label.Parent(), &panel);
    EXPECT_EQ(panel.ComponentCount(), 0);
    EXPECT_EQ(panel.Controls(), std::vector<TControl*>{&label});
    label.SetParent(&form);
    EXPECT_TRUE(panel.Controls().empty());
    EXPECT_EQ(form.Controls().size(), 2U);
}

TEST(Backend, AttachesTheFormFirstAndEveryParentBeforeItsChildren) {
    RecordingBackend backend;
    {
        TForm form;
        form.SetName("fTest");
        auto& button = Create<TButton>(form, ComponentKind::Button, "btnNext", &form);
        auto& label = Create<TLabel>(form, ComponentKind::Label, "lbLate");
        auto& panel = Create<TPanel>(form, ComponentKind::Panel, "pPage", &form);
        label.SetParent(&panel);  // the child was created before its panel
        form.AttachBackend(&backend);
        EXPECT_EQ(backend.log, (std::vector<std::string>{"attach fTest", "attach btnNext",
                                                         "attach pPage", "attach lbLate"}));
        EXPECT_EQ(button.Backend(), &backend);

        backend.log.clear();
        Create<TCheckBox>(form, ComponentKind::CheckBox, "cbNew", &panel);
        EXPECT_EQ(backend.log, std::vector<std::string>{"attach cbNew"});
        backend.log.clear();
    }
    // Destroying the form detaches the controls in the reverse order of attaching them, so
    // every child goes before its visual parent and the form goes last.
    EXPECT_EQ(backend.log,
              (std::vector<std::string>{"detach cbNew", "detach lbLate", "detach pPage",
                                        "detach btnNext", "detach fTest"}));
}

TEST(Backend, HearsOfEveryChangeOnceAndNotOfUnchangedValues) {
    RecordingBackend backend;
    TForm form;
    form.AttachBackend(&backend);
    auto& group = Create<TRadioGroup>(form, ComponentKind::RadioGroup, "rgLicense", &form);
    auto& edit = Create<TEdit>(form, ComponentKind::Edit, "edInstallpath", &form);
    auto& label = Create<TLabel>(form, ComponentKind::Label, "lbSuccess1", &form);
    backend.log.clear();

    group.Items()->SetText("yes\nno");
    group.SetItemIndex(1);
    group.SetItemIndex(1);
    label.SetCaption("Norvista");
    label.SetCaption("Norvista");
    label.Font()->SetColor(kClRed);
    label.SetVisible(false);
    edit.TextEditedByUser("C:\\typed");
    EXPECT_EQ(edit.Text(), "C:\\typed");
    EXPECT_EQ(backend.log, (std::vector<std::string>{
                               backend.Entry(group, ControlProperty::Items),
                               backend.Entry(group, ControlProperty::ItemIndex),
                               backend.Entry(label, ControlProperty::Text),
                               backend.Entry(label, ControlProperty::Font),
                               backend.Entry(label, ControlProperty::Visible),
                           }));
    form.AttachBackend(nullptr);
    backend.log.clear();
    label.SetCaption("headless");
    EXPECT_TRUE(backend.log.empty());
}

TEST(Backend, ClosingTheFormIsReportedOnce) {
    RecordingBackend backend;
    TForm form;
    form.SetName("f");
    form.AttachBackend(&backend);
    backend.log.clear();
    form.Close();
    form.Close();
    EXPECT_TRUE(form.Closed());
    EXPECT_EQ(backend.log, std::vector<std::string>{backend.Entry(form, ControlProperty::Closed)});
}

TEST(Factory, CreatesEveryKindWithItsProperties) {
    TForm form;
    const struct {
        ComponentKind kind;
        const char* name;
        const char* property;
    } cases[] = {
        {ComponentKind::Panel, "p", "BevelOuter"},  {ComponentKind::Label, "lb", "Caption"},
        {ComponentKind::Button, "btn", "OnClick"},  {ComponentKind::CheckBox, "cb", "Checked"},
        {ComponentKind::RadioGroup, "rg", "Items"}, {ComponentKind::Edit, "ed", "Text"},
        {ComponentKind::RichEdit, "re", "Lines"},   {ComponentKind::ProgressBar, "pb", "Position"},
        {ComponentKind::Image, "i", "Picture"},     {ComponentKind::ImageList, "il", "Width"},
    };
    for (const auto& c : cases) {
        TComponent& component = CreateComponentOfKind(form, c.kind, c.name, &form);
        EXPECT_NE(component.FindProperty(c.property), nullptr) << c.name;
        EXPECT_EQ(form.FindComponent(c.name), &component);
    }
    EXPECT_THROW(CreateComponentOfKind(form, ComponentKind::Label, "LB"), Error);
    EXPECT_EQ(form.ComponentCount(), 10);
    // A label has no Text and an edit field no Caption: each publishes what it shows.
    EXPECT_EQ(form.FindComponent("lb")->FindProperty("Text"), nullptr);
    EXPECT_EQ(form.FindComponent("ed")->FindProperty("Caption"), nullptr);
}

}  // namespace
}  // namespace nv::toolkit
