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
#include "payload_report.h"
#include "package/extract.h"
#include "package/format.h"
#include "package/pack.h"
#include "package/std_file_system.h"
#include "progress.h"

namespace {

constexpr int kExitFault = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: nvpack build --stub STUB --out SETUP [--level 0-9] [--piece BYTES] [--jobs N] FILE...\n"
    "       nvpack list SETUP\n"
    "       nvpack verify SETUP\n"
    "       nvpack extract SETUP DIR\n"
    "       nvpack --help\n"
    "\n"
    "build    appends the payload of FILE... to a copy of STUB and writes SETUP; each file\n"
    "         becomes an entry named after its base name, in the order given\n"
    "         --level  zlib compression level (default 9)\n"
    "         --piece  entry-stream bytes compressed into one block (default 32768); pieces\n"
    "                  that do not compress below 32768 bytes are cut smaller\n"
    "         --jobs   compressing threads (default: all cores); the output is the same\n"
    "list     shows the payload offset, the blocks, each entry and both checksums\n"
    "verify   exits with 0 when the payload reads back whole and its checksum holds;\n"
    "         otherwise prints the fault and exits with 1\n"
    "extract  writes the entries into DIR (created when missing)\n"
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

// Refuses entry names that are not plain file names, two inputs extracted under one name,
// and an output that would overwrite an input or the stub.
void CheckBuildPaths(const std::string& stub, const std::string& out,
                     const std::vector<nv::package::PackEntry>& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!nv::package::IsPlainEntryName(entries[i].name)) {
            throw nv::Error("\"" + entries[i].path +
                            "\" does not end in a plain file name usable as an entry name.");
        }
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
    CheckBuildPaths(stub, out, entries);
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

nvpack::Inspection Inspect(const std::string& path) {
    nvpack::Progress progress("reading");
    return nvpack::InspectSetup(path, [&progress](std::uint64_t done, std::uint64_t total) {
        progress.Update(done, total);
    });
}

int List(const std::string& path) {
    const nvpack::Inspection inspection = Inspect(path);
    if (!inspection.hasPackage) {
        (void)std::fprintf(stderr, "nvpack: %s: %s\n", path.c_str(), inspection.Fault().c_str());
        return kExitFault;
    }
    (void)std::printf("payload offset     %llu\n",
                      static_cast<unsigned long long>(inspection.location.offset));
    (void)std::printf("blocks             %u\n", static_cast<unsigned>(inspection.blocks.blocks));
    (void)std::printf("entry stream       %llu bytes\n",
                      static_cast<unsigned long long>(inspection.entryStreamBytes));
    (void)std::printf("entries            %zu\n", inspection.entries.size());
    for (const auto& entry : inspection.entries) {
        (void)std::printf("  %12lu  %s\n", static_cast<unsigned long>(entry.size),
                          entry.name.c_str());
    }
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
    return 0;
}

int Verify(const std::string& path) {
    const nvpack::Inspection inspection = Inspect(path);
    const std::string fault = inspection.Fault();
    if (!fault.empty()) {
        (void)std::printf("%s: %s\n", path.c_str(), fault.c_str());
        return kExitFault;
    }
    (void)std::printf("%s: ok, %zu entries, checksum 0x%08X\n", path.c_str(),
                      inspection.entries.size(),
                      static_cast<unsigned>(inspection.outcome.storedChecksum));
    return 0;
}

int Extract(const std::string& path, const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    nv::package::StdFileSystem fs;
    if (!fs.FolderExists(folder)) {
        throw nv::Error("Cannot create the folder \"" + folder + "\".");
    }
    nvpack::Progress progress("extracting");
    nv::package::ExtractCallbacks callbacks;
    callbacks.step = [&progress] { progress.Tick(); };
    switch (nv::package::ExtractPackage(fs, path, folder, callbacks)) {
        case nv::package::ExtractResult::kOk:
            return 0;
        case nv::package::ExtractResult::kNoPackage:
            (void)std::fprintf(stderr, "nvpack: %s: no package\n", path.c_str());
            return kExitFault;
        case nv::package::ExtractResult::kDamaged:
            (void)std::fprintf(stderr,
                               "nvpack: %s: the package is damaged (see nvpack verify); what was "
                               "extracted stays in %s\n",
                               path.c_str(), folder.c_str());
            return kExitFault;
    }
    return kExitFault;
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
    if ((command == "list" || command == "verify") && rest.size() == 1) {
        return command == "list" ? List(rest[0]) : Verify(rest[0]);
    }
    if (command == "extract" && rest.size() == 2) {
        return Extract(rest[0], rest[1]);
    }
    if (command == "list" || command == "verify" || command == "extract") {
        throw UsageError{"wrong number of arguments for " + command};
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
