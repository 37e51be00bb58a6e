// nvpack: builds a setup from a stub executable and product files, and lists, verifies or
// extracts the payload of a finished setup.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "error_text.h"
#include "interruption.h"
#include "name_encoding.h"
#include "output_folder.h"
#include "package/format.h"
#include "package/locate.h"
#include "package/pack.h"
#include "package/pe_image.h"
#include "package/std_file_system.h"
#include "payload_report.h"
#include "product_set.h"
#include "progress.h"
#include "stub_check.h"

namespace {

constexpr int kExitFault = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: nvpack build --stub STUB --out SETUP [--level 0-9] [--piece BYTES] [--jobs N]\n"
    "                    [--any-files] [--any-stub] [--] FILE...\n"
    "       nvpack list [--] SETUP\n"
    "       nvpack verify [--any-files] [--] SETUP\n"
    "       nvpack extract [--force] [--] SETUP DIR\n"
    "       nvpack --help | --version\n"
    "\n"
    "build    appends the payload of FILE... to a copy of STUB and writes SETUP; each file\n"
    "         becomes an entry named after its base name, in the order given; FILE... must be\n"
    "         the eight product files the setup installs, each once. SETUP is written under a\n"
    "         new name beside it and takes its name only when complete: after an error or an\n"
    "         interruption the old SETUP is unchanged\n"
    "         --any-files  packs any files (a setup made so cannot install the product)\n"
    "         --any-stub   takes any Windows executable without payload or signature as STUB,\n"
    "                      not only the setup stub (for tests and benchmarks)\n"
    "         --level  zlib compression level (default 9)\n"
    "         --piece  entry-stream bytes compressed into one block (default 32768); pieces\n"
    "                  that do not compress below 32768 bytes are cut smaller\n"
    "         --jobs   compressing threads (default: all cores); the output is the same\n"
    "list     shows the payload offset, the blocks, each entry, both checksums, whether the\n"
    "         setup is signed and whether the entries are exactly the product files\n"
    "verify   exits with 0 when the payload reads back whole, its checksum holds and its\n"
    "         entries are exactly the product files; otherwise prints the fault and exits\n"
    "         with 1\n"
    "         --any-files  does not ask for the product files\n"
    "extract  writes the entries into DIR (created when missing); never writes through a\n"
    "         link, and stops at a name that exists already, before it writes anything\n"
    "         --force  replaces existing regular files (never links, folders or devices)\n"
    "--       ends the options: every later argument is a file\n"
    "\n"
    "Entry names are stored in Windows-1252, as the setup reads them; names are converted from\n"
    "and to this system's encoding, and a name without a Windows-1252 form is refused.\n"
    "\n"
    "Signing: build first, then sign SETUP (signtool, osslsigncode). build pads the setup to a\n"
    "multiple of 8 bytes, so the signature's certificate table lands right behind the payload's\n"
    "trailer, where Setup.exe and list/verify/extract look for it. build refuses a signed stub:\n"
    "its signature would no longer match the file.\n"
    "\n"
    "Exit codes: 0 done; 1 a fault in a file or the setup (named on stderr); 2 a mistake on the\n"
    "command line. An interrupted build ends as the interruption ends programs.\n";

// A command-line mistake: reported with the usage hint and exit code 2.
struct UsageError {
    std::string text;
};

unsigned long ParseNumber(const std::string& option, const std::string& text, unsigned long low,
                          unsigned long high) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || text[0] == '-' || value < low || value > high) {
        throw UsageError{option + " takes a number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\""};
    }
    return value;
}

// The options of one command (a flag with an empty value) and its other arguments.
struct Arguments {
    std::map<std::string, std::string> values;
    std::vector<std::string> operands;

    bool Has(const std::string& flag) const { return values.contains(flag); }
    // The number given with `option`, from `low` to `high`; `otherwise` when it is not given.
    unsigned long Number(const std::string& option, unsigned long low, unsigned long high,
                         unsigned long otherwise) const {
        const auto value = values.find(option);
        return value == values.end() ? otherwise : ParseNumber(option, value->second, low, high);
    }
};

// Splits `args` into options and operands. Options that take a value are in `valued`, the
// others in `flags`; "--" ends the options. A repeated or unknown option is a mistake.
Arguments ParseArguments(const std::vector<std::string>& args, const std::set<std::string>& valued,
                         const std::set<std::string>& flags) {
    Arguments parsed;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!options || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
        } else if (arg == "--") {
            options = false;
        } else if (valued.contains(arg) || flags.contains(arg)) {
            if (valued.contains(arg) && i + 1 == args.size()) {
                throw UsageError{arg + " needs a value"};
            }
            if (!parsed.values.emplace(arg, valued.contains(arg) ? args[++i] : "").second) {
                throw UsageError{arg + " is given more than once"};
            }
        } else {
            throw UsageError{"unknown option " + arg + " (\"--\" ends the options)"};
        }
    }
    return parsed;
}

std::string Counted(std::uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Raises nv::Error naming `role` when `path` is no file that could be read.
void CheckIsFile(const std::string& role, const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        throw nv::Error(role + " " + Quoted(path) + ": not found.");
    }
    if (status.type() == std::filesystem::file_type::directory) {
        throw nv::Error(role + " " + Quoted(path) + ": a folder, not a file.");
    }
}

std::string BaseName(const std::string& path) {
#ifdef _WIN32
    const auto slash = path.find_last_of("/\\");
#else
    const auto slash = path.find_last_of('/');
#endif
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

// Refuses a stub that is not a bare setup stub of this project: not a Windows executable, cut
// short, with bytes behind its image (a payload or a signature), or without the stub's mark
// (unless `anyStub`).
void CheckStub(const std::string& path, bool anyStub) {
    CheckIsFile("stub", path);
    nv::package::StdFileSystem fs;
    const auto file = fs.OpenRead(path);
    const std::string named = "stub " + Quoted(path) + ": ";
    const auto layout = nv::package::ReadPeLayout(*file);
    if (!layout) {
        throw nv::Error(named + "not a Windows executable.");
    }
    const std::uint64_t size = file->Size();
    if (size < layout->imageEnd) {
        throw nv::Error(named + "cut short after " + std::to_string(size) + " of the " +
                        std::to_string(layout->imageEnd) + " bytes of its executable image.");
    }
    if (size > layout->imageEnd) {
        if (nv::package::LocatePayload(*file)) {
            throw nv::Error(named +
                            "already carries a payload (it is a built setup); build from the "
                            "bare stub.");
        }
        if (layout->certificateSize != 0) {
            throw nv::Error(named +
                            "signed; its signature would not match the setup. Build from the "
                            "unsigned stub and sign the setup after building.");
        }
        throw nv::Error(named + std::to_string(size - layout->imageEnd) +
                        " bytes follow its executable image; build from the bare stub.");
    }
    if (!anyStub && !nvpack::CarriesStubMark(*file)) {
        throw nv::Error(named +
                        "not this project's setup stub (it lacks the stub's mark); build from "
                        "Setup-stub.exe.");
    }
}

// Refuses a set of files other than the product's (unless `anyFiles`), two inputs extracted under
// one name, and an output that would overwrite an input or the stub.
void CheckBuildPaths(const std::string& stub, const std::string& out,
                     const std::vector<nv::package::PackEntry>& entries, bool anyFiles) {
    nvpack::ProductSet products;
    for (const auto& entry : entries) {
        products.Add(entry.name);
    }
    if (!anyFiles && !products.Exact()) {
        throw nv::Error("The files are not the product files the setup installs (" +
                        nvpack::ShownEntryName(products.Differences()) +
                        "); its setup would stop or leave files behind. --any-files packs "
                        "other files.");
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (nv::SameTextIgnoreCase(entries[i].name, entries[j].name)) {
                throw nv::Error("input " + Quoted(entries[i].path) + ": it and " +
                                Quoted(entries[j].path) + " would both be extracted as " +
                                Quoted(nvpack::ShownEntryName(entries[i].name)) + ".");
            }
        }
        if (SameFile(entries[i].path, out)) {
            throw nv::Error("output " + Quoted(out) + ": is also an input.");
        }
    }
    if (SameFile(stub, out)) {
        throw nv::Error("output " + Quoted(out) + ": is the stub itself.");
    }
    std::error_code error;
    if (std::filesystem::is_directory(out, error)) {
        throw nv::Error("output " + Quoted(out) + ": a folder, not a file.");
    }
}

// The C library's files, but the file the build creates is the staged output's temporary file.
class StagingFileSystem : public nv::package::StdFileSystem {
public:
    explicit StagingFileSystem(nvpack::StagedOutput& staged) : staged_(staged) {}
    std::shared_ptr<nv::FileStream> Create(const std::string& path) override {
        auto file = path == staged_.TemporaryPath() ? staged_.TakeFile() : nullptr;
        if (!file) {
            throw nv::Error(nv::ErrorKind::kCreateFailed, path);
        }
        return file;
    }

private:
    nvpack::StagedOutput& staged_;
};

// An error of the payload layer, worded with the argument it concerns.
nv::Error Named(const nv::Error& error, const std::string& stub, const std::string& out,
                const std::string& temporary, const std::vector<nv::package::PackEntry>& entries) {
    const std::string cause = nvpack::ErrorText(error);
    if (error.Path().empty()) {
        return nv::Error(cause);
    }
    if (error.Path() == temporary) {
        return nv::Error("output " + Quoted(out) + ": cannot be written (the disk may be full); " +
                         "it is unchanged.");
    }
    if (error.Path() == stub) {
        return nv::Error("stub: " + cause);
    }
    const auto isInput = [&error](const auto& entry) { return error.Path() == entry.path; };
    return nv::Error(std::ranges::any_of(entries, isInput) ? "input: " + cause : cause);
}

int Build(const std::vector<std::string>& args) {
    const Arguments parsed = ParseArguments(
        args, {"--stub", "--out", "--level", "--piece", "--jobs"}, {"--any-files", "--any-stub"});
    nv::package::PackOptions options;
    const unsigned cores = std::thread::hardware_concurrency();
    options.jobs = static_cast<unsigned>(parsed.Number("--jobs", 1, 256, cores == 0 ? 1 : cores));
    options.level = static_cast<int>(parsed.Number("--level", 0, 9, options.level));
    options.pieceSize = parsed.Number("--piece", 1, nv::package::kMaxPieceSize, options.pieceSize);
    if (!parsed.values.contains("--stub") || !parsed.values.contains("--out")) {
        throw UsageError{"build needs --stub and --out"};
    }
    if (parsed.operands.empty()) {
        throw UsageError{"build needs at least one FILE"};
    }
    const std::string& stub = parsed.values.at("--stub");
    const std::string& out = parsed.values.at("--out");
    CheckStub(stub, parsed.Has("--any-stub"));
    std::vector<nv::package::PackEntry> entries;
    for (const std::string& path : parsed.operands) {
        const auto name = nvpack::ToEntryName(BaseName(path));
        if (!name) {
            throw nv::Error("input " + Quoted(path) +
                            ": its name has no Windows-1252 form, the encoding the setup reads "
                            "names in.");
        }
        if (!nv::package::IsPlainEntryName(*name, nv::package::SystemNameToUtf16)) {
            throw nv::Error("input " + Quoted(path) +
                            ": does not end in a plain file name usable as an entry name.");
        }
        CheckIsFile("input", path);
        entries.push_back({*name, path});
    }
    CheckBuildPaths(stub, out, entries, parsed.Has("--any-files"));

    nvpack::NoteInterruptions();
    nvpack::StagedOutput staged(out);
    StagingFileSystem fs(staged);
    nvpack::Progress progress("packing");
    options.progress = [&progress](std::uint64_t done, std::uint64_t total) {
        nvpack::ThrowIfInterrupted();
        progress.Update(done, total);
    };
    nv::package::PackSummary summary;
    try {
        summary = nv::package::WritePackage(fs, stub, entries, staged.TemporaryPath(), options);
        nvpack::ThrowIfInterrupted();
    } catch (const nvpack::Interrupted&) {
        progress.End();
        (void)std::fprintf(stderr, "nvpack: interrupted; output %s is unchanged.\n",
                           Quoted(out).c_str());
        throw;
    } catch (const nv::Error& error) {
        throw Named(error, stub, out, staged.TemporaryPath(), entries);
    }
    staged.Commit();
    progress.End();
    (void)std::printf("%s: %s, %llu bytes in %s, checksum 0x%08X\n", out.c_str(),
                      Counted(entries.size(), "entry", "entries").c_str(),
                      static_cast<unsigned long long>(summary.entryStreamSize),
                      Counted(summary.blocks, "block", "blocks").c_str(),
                      static_cast<unsigned>(summary.checksum));
    return 0;
}

// The `count` operands of `command`, the first of which names the setup.
const std::vector<std::string>& SetupOperands(const std::string& command, const Arguments& parsed,
                                              std::size_t count = 1) {
    if (parsed.operands.size() != count) {
        throw UsageError{"wrong number of arguments for " + command};
    }
    CheckIsFile("setup", parsed.operands[0]);
    return parsed.operands;
}

// Reads the setup `path` into `sink`, showing the progress as `label`.
nvpack::Inspection InspectShowingProgress(const std::string& path, nv::package::EntrySink& sink,
                                          const char* label) {
    nvpack::Progress progress(label);  // its line is cleared when it goes
    return nvpack::InspectSetup(path, sink, std::bind_front(&nvpack::Progress::Update, &progress));
}

int Fail(const std::string& path, const std::string& fault) {
    (void)std::fprintf(stderr, "nvpack: setup %s: %s\n", Quoted(path).c_str(), fault.c_str());
    return kExitFault;
}

int List(const std::vector<std::string>& args) {
    const Arguments parsed = ParseArguments(args, {}, {});
    const std::string& path = SetupOperands("list", parsed)[0];
    // Each entry is printed as it is read, so no name outlives its line; the totals follow.
    nvpack::ProductSet products;
    nvpack::EntryLister lister([&products](const std::string& name, std::uint32_t size) {
        (void)std::printf("  %12lu  %s\n", static_cast<unsigned long>(size),
                          nvpack::ShownEntryName(name).c_str());
        products.Add(name);
    });
    const nvpack::Inspection inspection = nvpack::InspectSetup(path, lister);
    if (!inspection.hasPackage) {
        return Fail(path, inspection.Fault());
    }
    (void)std::printf("payload offset     %llu\n",
                      static_cast<unsigned long long>(inspection.location.offset));
    (void)std::printf("blocks             %u\n", static_cast<unsigned>(inspection.blocks.blocks));
    (void)std::printf("entry stream       %llu bytes\n",
                      static_cast<unsigned long long>(inspection.entryStreamBytes));
    (void)std::printf("entries            %lu\n",
                      static_cast<unsigned long>(inspection.outcome.entries));
    if (inspection.outcome.complete) {
        (void)std::printf("stored checksum    0x%08X\n",
                          static_cast<unsigned>(inspection.outcome.storedChecksum));
    } else {
        (void)std::printf("stored checksum    (missing)\n");
    }
    (void)std::printf("computed checksum  0x%08X\n",
                      static_cast<unsigned>(inspection.outcome.computedChecksum));
    (void)std::printf("signature          %s\n",
                      inspection.isSigned ? "present (check it with the signing tool)" : "none");
    const std::string fault = inspection.Fault();
    if (!fault.empty()) {
        return Fail(path, fault);
    }
    (void)std::printf("product files      %s\n",
                      products.Exact() ? "exactly the eight the setup installs"
                                       : nvpack::ShownEntryName(products.Differences()).c_str());
    return 0;
}

int Verify(const std::vector<std::string>& args) {
    const Arguments parsed = ParseArguments(args, {}, {"--any-files"});
    const std::string& path = SetupOperands("verify", parsed)[0];
    nvpack::ProductSet products;
    nvpack::EntryLister names(
        [&products](const std::string& name, std::uint32_t) { products.Add(name); });
    const nvpack::Inspection inspection = InspectShowingProgress(path, names, "reading");
    const std::string fault = inspection.Fault();
    if (!fault.empty()) {
        return Fail(path, fault);
    }
    if (!parsed.Has("--any-files") && !products.Exact()) {
        return Fail(path, "not the product files the setup installs: " +
                              nvpack::ShownEntryName(products.Differences()));
    }
    (void)std::printf("%s: ok, %s, checksum 0x%08X\n", path.c_str(),
                      Counted(inspection.outcome.entries, "entry", "entries").c_str(),
                      static_cast<unsigned>(inspection.outcome.storedChecksum));
    return 0;
}

// Reads the setup twice: first every name is checked against DIR, so that a setup without a
// payload or a name in the way leaves DIR as it was, not even created; then the payload is
// inflated straight into the entries' files, with no package file ever written.
int Extract(const std::vector<std::string>& args) {
    const Arguments parsed = ParseArguments(args, {}, {"--force"});
    const std::string& path = SetupOperands("extract", parsed, 2)[0];
    const std::string& dir = parsed.operands[1];
    const bool force = parsed.Has("--force");
    std::error_code error;
    if (std::filesystem::exists(dir, error) && !std::filesystem::is_directory(dir, error) &&
        !std::filesystem::is_symlink(dir, error)) {
        throw nv::Error("DIR " + Quoted(dir) + ": not a folder.");
    }
    // Each entry's name is checked against DIR as the entry is read, writing nothing.
    nvpack::EntryLister checker([&dir, force](const std::string& name, std::uint32_t) {
        const std::string local = nvpack::LocalFileName(name);
        if (nv::package::IsPlainEntryName(name, nv::package::SystemNameToUtf16)) {
            nvpack::CheckNameIsFree(dir, local, force);
        }
    });
    const nvpack::Inspection checked = nvpack::InspectSetup(path, checker);
    if (!checked.hasPackage) {
        return Fail(path, checked.Fault() + "; nothing was extracted");
    }
    nvpack::OutputFolder folder(dir);
    nvpack::FolderWriter writer(folder, force);
    const nvpack::Inspection inspection = InspectShowingProgress(path, writer, "extracting");
    const std::string fault = inspection.Fault();
    if (!fault.empty()) {
        return Fail(path, (inspection.inflates ? "the package is damaged: " : "") + fault +
                              "; what was extracted stays in " + dir);
    }
    return 0;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        throw UsageError{"no command given"};
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        (void)std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        (void)std::printf("nvpack %s\n", NV_VERSION);
        return 0;
    }
    const std::map<std::string, int (*)(const std::vector<std::string>&)> commands = {
        {"build", Build}, {"list", List}, {"verify", Verify}, {"extract", Extract}};
    if (const auto found = commands.find(command); found != commands.end()) {
        return found->second(rest);
    }
    throw UsageError{"unknown command \"" + command + "\""};
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return Run(args);
    } catch (const nvpack::Interrupted&) {
        nvpack::EndAsInterrupted();
    } catch (const UsageError& error) {
        (void)std::fprintf(stderr, "nvpack: %s\nTry \"nvpack --help\".\n", error.text.c_str());
        return kExitUsage;
    } catch (const nv::Error& error) {
        (void)std::fprintf(stderr, "nvpack: %s\n", nvpack::ErrorText(error).c_str());
        return kExitFault;
    } catch (const std::exception& error) {
        (void)std::fprintf(stderr, "nvpack: %s\n", error.what());
        return kExitFault;
    }
}
