#include "wizard_fixture.h"

#include <algorithm>

#include "host/sim/sim_faults.h"
#include "package_support.h"

namespace nv::wizard::testing {

namespace {

toolkit::Bitmap Filled(int width, int height, std::uint32_t pixel) {
    toolkit::Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), pixel);
    return bitmap;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ProductFiles() {
    return {
        {"Sorvelin.exe", std::string(20000, 'S')},
        {"Norvis.exe", std::string(70000, 'N') + "end"},
        {"Norvis.hlp", "help"},
        {"Norvis_uk.hlp", "help uk"},
        {"brannok.wav", "RIFF"},
        {"NV.OBJ", std::string(55, 'o')},
        {"Deutsch.lng", ""},
        {"English.lng", ""},
    };
}

std::string SetupWithPayload(const std::vector<std::pair<std::string, std::string>>& files,
                             bool wrongChecksum) {
    using package::testing::Bytes;
    std::vector<std::pair<std::string, Bytes>> entries;
    for (const auto& [name, data] : files) {
        entries.emplace_back(name, Bytes(data.begin(), data.end()));
    }
    Bytes stream = package::testing::EntryStream(entries);
    if (wrongChecksum) {
        ++stream[stream.size() - 4];
    }
    const Bytes setup = package::testing::SetupFile(package::testing::BlockStream(stream));
    return {setup.begin(), setup.end()};
}

WizardTest::WizardTest() {
    pictures.splash = Filled(650, 500, 0xFFFFFFFF);
    for (std::size_t i = 0; i < pictures.steps.size(); ++i) {
        pictures.steps[i] = Filled(110, 145, 0xFF000000U + static_cast<std::uint32_t>(i + 1));
    }
    host.SetExecutable(kSetupPath, SetupWithPayload(ProductFiles()));
    host.SetSystemMetric(0, 1024);
    host.SetSystemMetric(1, 768);
}

TfInstaller& WizardTest::Form() {
    if (!form_) {
        form_ = std::make_unique<TfInstaller>(host, ui, pictures);
        form_->FormCreate();
    }
    return *form_;
}

void WizardTest::ChooseLanguage(int item) {
    ASSERT_TRUE(Form().rgLanguage->Visible() && Form().pLanguage->Visible());
    Form().rgLanguage->SelectByUser(item);
}

void WizardTest::ChooseLicence(int item) {
    ASSERT_TRUE(Form().pLicense->Visible());
    Form().rgLicense->SelectByUser(item);
}

void WizardTest::Next() {
    ASSERT_TRUE(Form().btnNext->Visible() && Form().btnNext->Enabled()) << "Next unavailable";
    Form().btnNext->Click();
}

void WizardTest::Prev() {
    ASSERT_TRUE(Form().btnPrev->Visible() && Form().btnPrev->Enabled()) << "Previous unavailable";
    Form().btnPrev->Click();
}

void WizardTest::Cancel() {
    ASSERT_TRUE(Form().btnCancel->Visible() && Form().btnCancel->Enabled());
    Form().btnCancel->Click();
}

void WizardTest::WalkToFolderPage(int language) {
    ChooseLanguage(language);
    Next();
    ChooseLicence(0);
    Next();
    ASSERT_EQ(VisiblePanel(), "pInstallpath");
}

void WizardTest::Install(int language) {
    WalkToFolderPage(language);
    Next();
}

std::unique_ptr<TfInstaller> WizardTest::StartAgain() {
    auto form = std::make_unique<TfInstaller>(host, ui, pictures);
    form->FormCreate();
    form->rgLanguage->SelectByUser(0);
    form->btnNext->Click();
    return form;
}

std::string WizardTest::VisiblePanel() {
    std::vector<std::string> visible;
    for (const char* name :
         {"pLanguage", "pLicense", "pInstallpath", "pInstall", "pSuccess", "pError", "pCopyError",
          "pAdmin", "pTempdir", "pUninstall", "pUnistalling"}) {
        if (dynamic_cast<toolkit::TControl&>(*Form().FindComponent(name)).Visible()) {
            visible.emplace_back(name);
        }
    }
    EXPECT_EQ(visible.size(), 1U);
    return visible.empty() ? std::string() : visible.front();
}

bool WizardTest::CreatedFileIn(const std::string& folder) {
    const auto& log = host.OperationLog();
    return std::any_of(log.begin(), log.end(), [&](const host::sim::SimOperation& op) {
        return op.op == host::sim::SimOp::kCreateFile && op.target.rfind(folder, 0) == 0;
    });
}

int WizardTest::ShownStep() {
    const toolkit::Bitmap& shown = Form().iInfoPicture->Picture()->GetBitmap();
    for (std::size_t i = 0; i < pictures.steps.size(); ++i) {
        if (shown == pictures.steps[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void WizardTest::ExpectPage(int number, int step, const std::string& panel) {
    EXPECT_EQ(Form().PageNumber, number);
    EXPECT_EQ(ShownStep(), step);
    EXPECT_EQ(VisiblePanel(), panel);
}

}  // namespace nv::wizard::testing
