// nvpack: builds a setup from a stub executable and product files, and lists, verifies or
// extracts the payload of a finished setup.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/error.h"
#include "error_text.h"
#include "output_folder.h"
#include "package/format.h"
#include "package/pack.h"
#include "package/std_file_system.h"
#include "payload_report.h"
#include "product_set.h"
#include "progress.h"

namespace {

constexpr int kExitFault = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: nvpack build --stub STUB --out SETUP [--level 0-9] [--piece BYTES] [--jobs N]\n"
    "                    [--any-files] FILE...\n"
    "       nvpack list SETUP\n"
    "       nvpack verify [--any-files] SETUP\n"
    "       nvpack extract [--force] SETUP DIR\n"
    "       nvpack --help\n"
    "\n"
    "build    appends the payload of FILE... to a copy of STUB and writes SETUP; each file\n"
    "         becomes an entry named after its base name, in the order given; FILE... must be\n"
    "         the eight product files the setup installs, each once\n"
    "         --any-files  packs any files (a setup made so cannot install the product)\n"
    "         --level  zlib compression level (default 9)\n"
    "         --piece  entry-stream bytes compressed into one block (default 32768); pieces\n"
    "                  that do not compress below 32768 bytes are cut smaller\n"
    "         --jobs   compressing threads (default: all cores); the output is the same\n"
    "list     shows the payload offset, the blocks, each entry, both checksums and whether\n"
    "         the entries are exactly the product files\n"
    "verify   exits with 0 when the payload reads back whole, its checksum holds and its\n"
    "         entries are exactly the product files; otherwise prints the fault and exits\n"
    "         with 1\n"
    "         --any-files  does not ask for the product files\n"
    "extract  writes the entries into DIR (created when missing); never writes through a\n"
    "         link, and stops at a name that exists already\n"
    "         --force  replaces existing regular files (never links, folders or devices)\n"
    "\n"
    "Signing: build first, then sign SETUP (signtool, osslsigncode). build pads the setup to a\n"
    "multiple of 8 bytes, so the signature's certificate table lands right behind the payload's\n"
    "trailer, where Setup.exe and list/verify/extract look for it. Signing the stub and\n"
    "building afterwards leaves a signature that no longer matches the file.\n";

// A command-line mistake: reported with the usage hint and exit code 2.
struct UsageError {
    std::string text;
};

std::string BaseName(const std::string& path) {
#ifdef _WIN32
    const auto slash = path.find_last_of("/\\");
#else
    const auto slash = path.find_last_of('/');
#endif
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

bool EqualNames(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
        if (upper(a[i]) != upper(b[i])) {
            return false;
        }
    }
    return true;
}

// Refuses entry names that are not plain file names, a set of files other than the product's
// (unless `anyFiles`), two inputs extracted under one name, and an output that would
// overwrite an input or the stub.
void CheckBuildPaths(const std::string& stub, const std::string& out,
                     const std::vector<nv::package::PackEntry>& entries, bool anyFiles) {
    nvpack::ProductSet products;
    for (const auto& entry : entries) {
        if (!nv::package::IsPlainEntryName(entry.name)) {
            throw nv::Error("\"" + entry.path +
                            "\" does not end in a plain file name usable as an entry name.");
        }
        products.Add(entry.name);
    }
    if (!anyFiles && !products.Exact()) {
        throw nv::Error("The files are not the product files the setup installs (" +
                        products.Differences() +
                        "); its setup would stop or leave files behind. --any-files packs "
                        "other files.");
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (EqualNames(entries[i].name, entries[j].name)) {
                throw nv::Error("\"" + entries[j].path + "\" and \"" + entries[i].path +
                                "\" would both be extracted as \"" + entries[i].name + "\".");
            }
        }
        if (SameFile(entries[i].path, out)) {
            throw nv::Error("The output \"" + out + "\" is also an input.");
        }
    }
    if (SameFile(stub, out)) {
        throw nv::Error("The output \"" + out + "\" is the stub itself.");
    }
}

int Build(const std::vector<std::string>& args) {
    std::string stub;
    std::string out;
    nv::package::PackOptions options;
    const unsigned cores = std::thread::hardware_concurrency();
    options.jobs = cores == 0 ? 1 : cores;
    std::vector<nv::package::PackEntry> entries;
    bool anyFiles = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--stub" || arg == "--out" || arg == "--level" ||
                                arg == "--piece" || arg == "--jobs";
        if (takesValue && i + 1 == args.size()) {
            throw UsageError{arg + " needs a value"};
        }
        if (arg == "--stub") {
            stub = args[++i];
        } else if (arg == "--out") {
            out = args[++i];
        } else if (arg == "--level") {
            options.level = static_cast<int>(ParseNumber(arg, args[++i], 0, 9));
        } else if (arg == "--piece") {
            options.pieceSize = ParseNumber(arg, args[++i], 1, nv::package::kMaxPieceSize);
        } else if (arg == "--jobs") {
            options.jobs = static_cast<unsigned>(ParseNumber(arg, args[++i], 1, 256));
        } else if (arg == "--any-files") {
            anyFiles = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option " + arg};
        } else {
            entries.push_back({BaseName(arg), arg});
        }
    }
    if (stub.empty() || out.empty()) {
        throw UsageError{"build needs --stub and --out"};
    }
    if (entries.empty()) {
        throw UsageError{"build needs at least one FILE"};
    }
    CheckBuildPaths(stub, out, entries, anyFiles);
    nv::package::StdFileSystem fs;
    nvpack::Progress progress("packing");
    options.progress = [&progress](std::uint64_t done, std::uint64_t total) {
        progress.Update(done, total);
    };
    const auto summary = nv::package::WritePackage(fs, stub, entries, out, options);
    (void)std::printf("%s: %zu entries, %llu bytes in %llu blocks, checksum 0x%08X\n", out.c_str(),
                      entries.size(), static_cast<unsigned long long>(summary.entryStreamSize),
                      static_cast<unsigned long long>(summary.blocks),
                      static_cast<unsigned>(summary.checksum));
    return 0;
}

int List(const std::string& path) {
    // Each entry is printed as it is read, so no name outlives its line; the totals follow.
    nvpack::ProductSet products;
    nvpack::EntryLister lister([&products](const std::string& name, std::uint32_t size) {
        (void)std::printf("  %12lu  %s\n", static_cast<unsigned long>(size), name.c_str());
        products.Add(name);
    });
    const nvpack::Inspection inspection =
        nvpack::InspectSetup(path, lister, [](std::uint64_t, std::uint64_t) {});
    if (!inspection.hasPackage) {
        (void)std::fprintf(stderr, "nvpack: %s: %s\n", path.c_str(), inspection.Fault().c_str());
        return kExitFault;
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
    const std::string fault = inspection.Fault();
    if (!fault.empty()) {
        (void)std::fprintf(stderr, "nvpack: %s: %s\n", path.c_str(), fault.c_str());
        return kExitFault;
    }
    (void)std::printf("product files      %s\n", products.Exact()
                                                     ? "exactly the eight the setup installs"
                                                     : products.Differences().c_str());
    return 0;
}

int Verify(const std::vector<std::string>& args) {
    std::vector<std::string> operands;
    bool anyFiles = false;
    for (const std::string& arg : args) {
        if (arg == "--any-files") {
            anyFiles = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option " + arg};
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 1) {
        throw UsageError{"wrong number of arguments for verify"};
    }
    const std::string& path = operands[0];
    nvpack::Progress progress("reading");
    nvpack::ProductSet products;
    nvpack::EntryLister names(
        [&products](const std::string& name, std::uint32_t) { products.Add(name); });
    const nvpack::Inspection inspection = nvpack::InspectSetup(
        path, names,
        [&progress](std::uint64_t done, std::uint64_t total) { progress.Update(done, total); });
    const std::string fault = inspection.Fault();
    if (!fault.empty()) {
        (void)std::printf("%s: %s\n", path.c_str(), fault.c_str());
        return kExitFault;
    }
    if (!anyFiles && !products.Exact()) {
        (void)std::printf("%s: not the product files the setup installs: %s\n", path.c_str(),
                          products.Differences().c_str());
        return kExitFault;
    }
    (void)std::printf("%s: ok, %lu entries, checksum 0x%08X\n", path.c_str(),
                      static_cast<unsigned long>(inspection.outcome.entries),
                      static_cast<unsigned>(inspection.outcome.storedChecksum));
    return 0;
}

// Inflates the payload straight into the entries' files: no package file is ever written, so
// nothing but the entries lands in DIR.
int Extract(const std::vector<std::string>& args) {
    std::vector<std::string> operands;
    bool force = false;
    for (const std::string& arg : args) {
        if (arg == "--force") {
            force = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option " + arg};
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 2) {
        throw UsageError{"wrong number of arguments for extract"};
    }
    const std::string& path = operands[0];
    nvpack::OutputFolder folder(operands[1]);
    nvpack::FolderWriter writer(folder, force);
    nvpack::Progress progress("extracting");
    const nvpack::Inspection inspection = nvpack::InspectSetup(
        path, writer,
        [&progress](std::uint64_t done, std::uint64_t total) { progress.Update(done, total); });
    if (!inspection.hasPackage) {
        (void)std::fprintf(stderr, "nvpack: %s: no package\n", path.c_str());
        return kExitFault;
    }
    const std::string fault = inspection.Fault();
    if (!fault.empty()) {
        (void)std::fprintf(stderr, "nvpack: %s: %s%s; what was extracted stays in %s\n",
                           path.c_str(), inspection.inflates ? "the package is damaged: " : "",
                           fault.c_str(), operands[1].c_str());
        return kExitFault;
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
    if (command == "build") {
        return Build(rest);
    }
    if (command == "list" && rest.size() == 1) {
        return List(rest[0]);
    }
    if (command == "verify") {
        return Verify(rest);
    }
    if (command == "extract") {
        return Extract(rest);
    }
    if (command == "list") {
        throw UsageError{"wrong number of arguments for list"};
    }
    throw UsageError{"unknown command \"" + command + "\""};
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return Run(args);
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
