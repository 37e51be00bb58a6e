// The installation engine on its own, for the benchmark: the wizard's form without windows,
// on the real Win32 host, walked to the folder page; then Next runs the installation of the
// payload appended to this very program (nvpack build --stub install_bench.exe ...).
//
//   install_bench.exe FOLDER
//
// Removes the installation record first (so the wizard offers installation), installs into
// FOLDER with every shortcut, and prints one line of key=value fields:
//   seconds=<InstallProduct wall time> page=<page reached> peak_ws=<bytes>
//   peak_pagefile=<bytes> startup=<seconds from main to the click> pumps=<handled pumps>
//   pump_s=<seconds in ProcessMessages> max_gap_ms=<longest stretch without a handled pump>
//   max_gap_phase=<phase it ended in> and, for each phase P of the installation,
//   P.wall=<s> P.io=<s in file I/O> P.pump=<s in ProcessMessages> P.pumps=<count>
//   P.gap=<longest stretch without a handled pump that ended in P, ms>;
// then main_at=<system time at main's start> end_at=<system time at its end>.
//
// The phases are told apart from the outside: a timing decorator of the Host sees which file
// is created, copied, removed or which kind of record is written, and a timing decorator of
// the user-interface services counts and times each ProcessMessages. Nothing in the shipped
// code is timed.

#include <windows.h>

#include <objbase.h>
#include <psapi.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"
#include "host/win32/win32_host.h"
#include "wizard/installer_form.h"

namespace {

// --- Clock -----------------------------------------------------------------------------------

double Frequency() {
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    return frequency;
}

// Seconds since 1970 by the system clock, to set the program's own moments against the
// launch and the exit the benchmark script sees from outside.
double UnixSeconds() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    return static_cast<double>(ticks.QuadPart - 116444736000000000ULL) / 1e7;
}

double Now() {
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return static_cast<double>(value.QuadPart) / Frequency();
}

// --- Phases ----------------------------------------------------------------------------------

enum Phase : int {
    kStart,        // payload located, temporary folder chosen
    kRawCopy,      // package.dlz written
    kInflate,      // package.dld written
    kSplit,        // entry files written, checksum, package files deleted
    kFolder,       // installation folder made
    kSetupCopy,    // the setup copies itself
    kCopies,       // the product files copied into the folder
    kTempRemoval,  // extracted files and the temporary folder removed
    kIni,          // norvis.ini
    kShortcuts,    // the four shortcuts
    kRecord,       // the registry record
    kPhaseCount,
};

constexpr std::array<const char*, kPhaseCount> kPhaseNames = {
    "start",  "raw",         "inflate", "split",     "folder", "setupcopy",
    "copies", "tempremoval", "ini",     "shortcuts", "record",
};

struct PhaseFigures {
    double wall = 0;
    double io = 0;
    double pump = 0;
    long pumps = 0;
    double gap = 0;
};

// What the decorators record while the installation runs.
class Recorder {
public:
    void Begin() {
        running_ = true;
        phase_ = kStart;
        phaseStart_ = Now();
        lastPumpEnd_ = phaseStart_;
    }
    void End() {
        const double now = Now();
        NoteGap(now);
        figures_[phase_].wall += now - phaseStart_;
        running_ = false;
    }
    // Moves on to `phase` when it lies ahead of the current one.
    void Reach(Phase phase) {
        if (!running_ || phase <= phase_) {
            return;
        }
        const double now = Now();
        figures_[phase_].wall += now - phaseStart_;
        phase_ = phase;
        phaseStart_ = now;
    }
    Phase Current() const { return phase_; }
    bool Running() const { return running_; }

    void Io(double seconds) {
        if (running_) {
            figures_[phase_].io += seconds;
        }
    }
    void PumpStarted(double now) {
        if (running_) {
            NoteGap(now);
        }
    }
    void PumpEnded(double started, double now) {
        if (!running_) {
            return;
        }
        figures_[phase_].pump += now - started;
        ++figures_[phase_].pumps;
        lastPumpEnd_ = now;
    }
    // One shortcut saved by the shell: under Wine the save starts winemenubuilder.exe and waits
    // for it, a single call no pumping can split.
    void ShellSave(double seconds) {
        if (running_ && seconds > longestShellSave_) {
            longestShellSave_ = seconds;
        }
    }

    void Print() const {
        long pumps = 0;
        double pumpSeconds = 0;
        for (int i = 0; i < kPhaseCount; ++i) {
            const PhaseFigures& f = figures_[i];
            pumps += f.pumps;
            pumpSeconds += f.pump;
            std::printf(" %s.wall=%.6f %s.io=%.6f %s.pump=%.6f %s.pumps=%ld %s.gap=%.3f",
                        kPhaseNames[i], f.wall, kPhaseNames[i], f.io, kPhaseNames[i], f.pump,
                        kPhaseNames[i], f.pumps, kPhaseNames[i], f.gap * 1000.0);
        }
        std::printf(" pumps=%ld pump_s=%.6f max_gap_ms=%.3f max_gap_phase=%s", pumps, pumpSeconds,
                    maxGap_ * 1000.0, kPhaseNames[maxGapPhase_]);
        std::printf(" shell_save_max_ms=%.3f", longestShellSave_ * 1000.0);
    }

private:
    void NoteGap(double now) {
        if (now - lastPumpEnd_ > figures_[phase_].gap) {
            figures_[phase_].gap = now - lastPumpEnd_;
        }
        if (now - lastPumpEnd_ > maxGap_) {
            maxGap_ = now - lastPumpEnd_;
            maxGapPhase_ = phase_;
        }
    }

    bool running_ = false;
    Phase phase_ = kStart;
    double phaseStart_ = 0;
    double lastPumpEnd_ = 0;
    double maxGap_ = 0;
    Phase maxGapPhase_ = kStart;
    double longestShellSave_ = 0;
    std::array<PhaseFigures, kPhaseCount> figures_{};
};

Recorder recorder;

// Whether `text` ends in `suffix`, ignoring case.
bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           nv::SameTextIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

bool InTempFolder(const std::string& path) {
    return nv::LowerCaseAscii(path).find("tempnv\\") != std::string::npos;
}

// --- Decorators ------------------------------------------------------------------------------

// A file stream whose reads and writes are timed; owned, or borrowed from its owner (the
// host's own executable).
class TimedStream final : public nv::host::FileStream {
public:
    explicit TimedStream(std::unique_ptr<nv::host::FileStream> owned)
        : FileStream(owned->Path()), owned_(std::move(owned)), inner_(*owned_) {}
    explicit TimedStream(nv::host::FileStream& borrowed)
        : FileStream(borrowed.Path()), inner_(borrowed) {}
    std::uint64_t Size() override { return inner_.Size(); }
    void Seek(std::uint64_t offset) override { inner_.Seek(offset); }
    std::size_t Read(void* buffer, std::size_t count) override {
        const double start = Now();
        const std::size_t got = inner_.Read(buffer, count);
        recorder.Io(Now() - start);
        return got;
    }
    void Write(const void* data, std::size_t count) override {
        const double start = Now();
        inner_.Write(data, count);
        recorder.Io(Now() - start);
    }
    bool Remove() override {
        if (recorder.Current() >= kCopies && InTempFolder(Path())) {
            recorder.Reach(kTempRemoval);
        }
        const double start = Now();
        const bool removed = inner_.Remove();
        recorder.Io(Now() - start);
        return removed;
    }

private:
    std::unique_ptr<nv::host::FileStream> owned_;
    nv::host::FileStream& inner_;
};

std::unique_ptr<nv::host::FileStream> Timed(std::unique_ptr<nv::host::FileStream> stream) {
    if (!stream) {
        return nullptr;
    }
    return std::make_unique<TimedStream>(std::move(stream));
}

// Reaches Host's protected primitives on another Host object.
struct HostAccess : nv::host::Host {
    using Host::DoCreateFolder;
    using Host::DoDeleteKey;
    using Host::DoOpenKey;
    using Host::DoReadProfileText;
    using Host::DoRemoveFolder;
    using Host::DoWriteProfileText;
    using Host::LastFailureCode;
};

// The extraction's files mark its phases: package.dlz, package.dld, then the entries.
void ReachExtractionPhase(const std::string& path) {
    if (EndsWith(path, "package.dlz")) {
        recorder.Reach(kRawCopy);
    } else if (EndsWith(path, "package.dld")) {
        recorder.Reach(kInflate);
    } else if (recorder.Current() >= kInflate) {
        recorder.Reach(kSplit);
    }
}

// A held folder handed on, its files timed and marking the phases like the host's.
class TimedHeldFolder final : public nv::host::HeldFolder {
public:
    explicit TimedHeldFolder(std::unique_ptr<nv::host::HeldFolder> inner)
        : HeldFolder(inner->Path()), inner_(std::move(inner)) {}
    std::string FinalPath() override { return inner_->FinalPath(); }
    bool Names(const std::string& path) override { return inner_->Names(path); }
    bool OnLocalDiskWithAccessLists() override { return inner_->OnLocalDiskWithAccessLists(); }
    bool RemoveIfEmpty() override { return inner_->RemoveIfEmpty(); }
    std::unique_ptr<nv::host::FileStream> CreateFileInside(const std::string& name) override {
        ReachExtractionPhase(name);
        const double start = Now();
        auto stream = inner_->CreateFileInside(name);
        recorder.Io(Now() - start);
        return Timed(std::move(stream));
    }

private:
    std::unique_ptr<nv::host::HeldFolder> inner_;
};

std::unique_ptr<nv::host::HeldFolder> TimedHold(std::unique_ptr<nv::host::HeldFolder> held) {
    return held ? std::make_unique<TimedHeldFolder>(std::move(held)) : nullptr;
}

// The real host, every call handed on; file I/O is timed and the calls mark the phases.
class TimedHost final : public nv::host::Host {
public:
    std::string ExecutablePath() override { return inner_.ExecutablePath(); }
    nv::host::FileStream* Executable() override {
        if (!executable_ && inner_.Executable() != nullptr) {
            executable_ = std::make_unique<TimedStream>(*inner_.Executable());
        }
        return executable_.get();
    }
    std::unique_ptr<nv::host::FileStream> OpenFileForReading(const std::string& path) override {
        const double start = Now();
        auto stream = inner_.OpenFileForReading(path);
        recorder.Io(Now() - start);
        return Timed(std::move(stream));
    }
    // The extraction's files: package.dlz, package.dld, then the entries.
    std::unique_ptr<nv::host::FileStream> CreateFileForWriting(const std::string& path) override {
        ReachExtractionPhase(path);
        const double start = Now();
        auto stream = inner_.CreateFileForWriting(path);
        recorder.Io(Now() - start);
        return Timed(std::move(stream));
    }
    // The copies into the installation folder: the setup's own first, then the product's.
    std::unique_ptr<nv::host::FileStream> CreateNewFile(const std::string& path) override {
        if (recorder.Current() >= kFolder && !InTempFolder(path)) {
            recorder.Reach(EndsWith(path, "\\setup.exe") ? kSetupCopy : kCopies);
        }
        const double start = Now();
        auto stream = inner_.CreateNewFile(path);
        recorder.Io(Now() - start);
        return Timed(std::move(stream));
    }
    bool FolderExists(const std::string& path) override { return inner_.FolderExists(path); }
    std::unique_ptr<nv::host::HeldFolder> HoldSafeFolder(const std::string& path) override {
        if (recorder.Current() >= kSplit && !InTempFolder(path + "\\")) {
            recorder.Reach(kFolder);
        }
        return TimedHold(inner_.HoldSafeFolder(path));
    }
    std::unique_ptr<nv::host::HeldFolder> HoldSafePath(const std::string& path,
                                                       nv::host::PathEnd end) override {
        if (recorder.Current() >= kSplit) {
            recorder.Reach(kFolder);
        }
        return TimedHold(inner_.HoldSafePath(path, end));
    }
    bool SetCurrentFolder(const std::string& path) override {
        return inner_.SetCurrentFolder(path);
    }
    std::string CurrentFolder() override { return inner_.CurrentFolder(); }
    nv::host::FolderContent ListFolder(const std::string& folder) override {
        return inner_.ListFolder(folder);
    }
    std::vector<std::string> LogicalDrives() override { return inner_.LogicalDrives(); }
    std::string FullPathOf(const std::string& path) override {
        if (recorder.Current() >= kSplit) {
            recorder.Reach(kFolder);
        }
        return inner_.FullPathOf(path);
    }
    bool RemoveFile(const std::string& path) override {
        const double start = Now();
        const bool removed = inner_.RemoveFile(path);
        recorder.Io(Now() - start);
        return removed;
    }
    bool ScheduleRemovalAtRestart(const std::string& path) override {
        return inner_.ScheduleRemovalAtRestart(path);
    }
    bool RemoveShortcutFile(const std::string& path) override {
        return inner_.RemoveShortcutFile(path);
    }
    bool ShellOpen(void* owner, const std::string& file, const std::string& folder) override {
        return inner_.ShellOpen(owner, file, folder);
    }
    std::string SpecialFolderPath(int csidl) override {
        if (recorder.Current() >= kIni) {
            recorder.Reach(kShortcuts);
        }
        return inner_.SpecialFolderPath(csidl);
    }
    bool SaveShellLink(const nv::host::ShellLinkFields& fields,
                       const std::string& linkFile) override {
        const double start = Now();
        const bool saved = inner_.SaveShellLink(fields, linkFile);
        recorder.ShellSave(Now() - start);
        return saved;
    }
    std::optional<std::vector<nv::host::TokenGroup>> TokenGroups() override {
        return inner_.TokenGroups();
    }
    std::optional<nv::host::VersionRecord> QueryVersion(nv::host::VersionQuery query) override {
        return inner_.QueryVersion(query);
    }
    int SystemMetric(int index) override { return inner_.SystemMetric(index); }

protected:
    std::unique_ptr<nv::host::RegistryKey> DoOpenKey(const std::string& path,
                                                     nv::host::KeyAccess access,
                                                     bool create) override {
        if (create && recorder.Current() >= kShortcuts) {
            recorder.Reach(kRecord);
        }
        return (inner_.*(&HostAccess::DoOpenKey))(path, access, create);
    }
    bool DoDeleteKey(const std::string& path) override {
        return (inner_.*(&HostAccess::DoDeleteKey))(path);
    }
    std::string DoReadProfileText(const std::string& file, const std::string& section,
                                  const std::string& key,
                                  const std::string& defaultValue) override {
        return (inner_.*(&HostAccess::DoReadProfileText))(file, section, key, defaultValue);
    }
    bool DoWriteProfileText(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& value) override {
        if (recorder.Current() >= kCopies) {
            recorder.Reach(kIni);
        }
        return (inner_.*(&HostAccess::DoWriteProfileText))(file, section, key, value);
    }
    bool DoCreateFolder(const std::string& path, nv::host::FolderProtection protection) override {
        return (inner_.*(&HostAccess::DoCreateFolder))(path, protection);
    }
    bool DoRemoveFolder(const std::string& path) override {
        return (inner_.*(&HostAccess::DoRemoveFolder))(path);
    }
    unsigned long LastFailureCode() override { return (inner_.*(&HostAccess::LastFailureCode))(); }

private:
    nv::host::Win32Host inner_;
    std::unique_ptr<TimedStream> executable_;
};

// Window messages are asked for as in the real program, with its clock, but there is no
// window to deliver them to. Each handled pump is counted and timed.
class HeadlessUi final : public nv::toolkit::UiServices {
public:
    void ProcessMessages() override {
        const double start = Now();
        recorder.PumpStarted(start);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        recorder.PumpEnded(start, Now());
    }
    std::optional<std::string> BrowseForDirectory(const std::string& /*startFolder*/,
                                                  const FolderMaker& /*makeFolder*/) override {
        return std::nullopt;
    }
    void* MainWindowHandle() override { return nullptr; }
    // The clock of the real services (Win32UiServices).
    std::optional<std::uint32_t> Milliseconds() override {
        return static_cast<std::uint32_t>(GetTickCount());
    }
};

nv::toolkit::Bitmap Plain(int width, int height) {
    nv::toolkit::Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                         0xFFFFFFFFU);
    return bitmap;
}

int Run(const std::string& folder, double mainStarted) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Halvorn\\Norvista");
    TimedHost host;
    HeadlessUi ui;
    nv::wizard::WizardPictures pictures;
    pictures.splash = Plain(650, 500);
    for (nv::toolkit::Bitmap& step : pictures.steps) {
        step = Plain(110, 145);
    }
    nv::wizard::TfInstaller form(host, ui, pictures);
    form.FormCreate();
    form.rgLanguage->SelectByUser(0);
    form.btnNext->Click();
    nv::toolkit::TRadioGroup* licence = form.rgLicense;
    if (licence == nullptr || form.PageNumber != 2) {
        std::fprintf(stderr, "install_bench: not on the licence page (page %d)\n",
                     static_cast<int>(form.PageNumber));
        return 1;
    }
    licence->SelectByUser(0);
    form.btnNext->Click();
    form.edInstallpath->SetText(folder);
    form.cbDesktop->SetChecked(true);
    form.cbQuick->SetChecked(true);
    form.cbStartmenu->SetChecked(true);

    const double start = Now();
    recorder.Begin();
    form.btnNext->Click();  // page 3 to 4: InstallProduct
    recorder.End();
    const double end = Now();

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("seconds=%.6f page=%d peak_ws=%llu peak_pagefile=%llu startup=%.6f", end - start,
                static_cast<int>(form.PageNumber),
                static_cast<unsigned long long>(memory.PeakWorkingSetSize),
                static_cast<unsigned long long>(memory.PeakPagefileUsage), start - mainStarted);
    recorder.Print();
    std::printf("\n");
    return form.PageNumber == 5 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const double mainStarted = Now();
    const double mainAt = UnixSeconds();
    if (argc != 2) {
        std::fprintf(stderr, "usage: install_bench FOLDER\n");
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) {
        return 1;
    }
    int result = 1;
    try {
        result = Run(argv[1], mainStarted);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "install_bench: %s\n", error.what());
    }
    CoUninitialize();
    std::printf("main_at=%.6f end_at=%.6f\n", mainAt, UnixSeconds());
    return result;
}
