// nv_output_folder_probe DIR: opens DIR as nvpack.exe extract does and prints "held"; after a
// line on its input it creates "new.bin" and replaces "old.bin" (as --force does) inside the
// folder it holds, printing "NAME: ok" or "NAME: " and the error for each, and exits with 1
// when one failed. The end-to-end test moves DIR away in between and puts a new folder at its
// name: nothing may land in that one.

#include <cstdio>
#include <string>

#include "base/error.h"
#include "output_folder.h"

namespace {

bool WriteEntry(nvpack::OutputFolder& folder, const std::string& name, const std::string& bytes,
                bool replace) {
    try {
        const auto file = folder.CreateNew(name, replace);
        file->Write(bytes.data(), bytes.size());
        file->Close();
        (void)std::printf("%s: ok\n", name.c_str());
        return true;
    } catch (const nv::Error& error) {
        (void)std::printf("%s: %s\n", name.c_str(), error.what());
        return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        (void)std::fputs("usage: nv_output_folder_probe DIR\n", stderr);
        return 2;
    }
    try {
        nvpack::OutputFolder folder(argv[1]);
        (void)std::puts("held");
        (void)std::fflush(stdout);
        char line[16];
        if (std::fgets(line, sizeof line, stdin) == nullptr) {
            return 2;
        }
        const bool created = WriteEntry(folder, "new.bin", "new", false);
        const bool replaced = WriteEntry(folder, "old.bin", "replaced", true);
        (void)std::fflush(stdout);
        return created && replaced ? 0 : 1;
    } catch (const nv::Error& error) {
        (void)std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
