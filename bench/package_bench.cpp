// Benchmark of the payload package: the reader (raw copy + decompression + splitting) against
// bare zlib inflating the same blocks and writing the same bytes, the peak memory of each, and
// nvpack build with one job and with all cores. Every figure is the median of several runs;
// each measurement runs in a process of its own so its peak memory is its own.
//
// usage: package_bench NVPACK SCRATCH_DIR [RUNS]

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/error.h"
#include "package/extract.h"
#include "package/format.h"
#include "package/std_file_system.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Product-like contents that deflate to roughly a third: words drawn from a large random
// vocabulary, mostly its most frequent words, with a few raw binary runs.
void WriteProductFile(const std::string& path, std::uint64_t size, std::uint32_t seed) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        throw nv::Error("cannot create " + path);
    }
    std::uint64_t x = 0x9E3779B97F4A7C15ULL ^ seed;
    const auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        return x;
    };
    std::vector<std::string> words(4096);
    for (auto& word : words) {
        const std::size_t length = 3 + next() % 8;
        for (std::size_t i = 0; i < length; ++i) {
            word.push_back(static_cast<char>('a' + next() % 26));
        }
        word.push_back(' ');
    }
    std::vector<unsigned char> buffer;
    std::uint64_t written = 0;
    while (written < size) {
        buffer.clear();
        while (buffer.size() < 65536) {
            if (next() % 512 == 0) {
                for (int i = 0; i < 64; ++i) {
                    buffer.push_back(static_cast<unsigned char>(next()));
                }
            } else {
                const std::string& word = words[next() % 16 == 0 ? next() % 4096 : next() % 192];
                buffer.insert(buffer.end(), word.begin(), word.end());
            }
        }
        const auto take =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - written));
        std::fwrite(buffer.data(), 1, take, out);
        written += take;
    }
    std::fclose(out);
}

// Minimal PE stub: headers and one 512-byte section.
void WriteStub(const std::string& path) {
    std::vector<unsigned char> stub(1024, 0);
    stub[0] = 'M';
    stub[1] = 'Z';
    nv::package::WriteU32(&stub[0x3C], 0x40);
    stub[0x40] = 'P';
    stub[0x41] = 'E';
    nv::package::WriteU16(&stub[0x46], 1);
    nv::package::WriteU16(&stub[0x54], 240);
    nv::package::WriteU32(&stub[0x40 + 24 + 240 + 16], 512);
    nv::package::WriteU32(&stub[0x40 + 24 + 240 + 20], 512);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(stub.data(), 1, stub.size(), out);
    std::fclose(out);
}

// --- Measured work, each run in a child process ----------------------------------------------

double RunReader(const std::string& setup, const std::string& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    nv::package::StdFileSystem files;
    const auto start = Clock::now();
    const auto file = files.OpenRead(setup);
    const auto location = nv::package::LocatePayload(*file);
    if (!location || nv::package::ExtractPayload(files, *file, *location, folder, {}) !=
                         nv::package::ExtractResult::kOk) {
        throw nv::Error("extraction failed");
    }
    return Seconds(start);
}

double RunBaseline(const std::string& setup, const std::string& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    const auto start = Clock::now();
    std::FILE* in = std::fopen(setup.c_str(), "rb");
    std::FILE* out = std::fopen((folder + "/entries").c_str(), "wb");
    if (in == nullptr || out == nullptr) {
        throw nv::Error("cannot open the baseline's files");
    }
    unsigned char field[4];
    std::fseek(in, -4, SEEK_END);
    if (std::fread(field, 1, 4, in) != 4) {
        throw nv::Error("no trailer");
    }
    std::fseek(in, static_cast<long>(nv::package::ReadU32(field)), SEEK_SET);
    std::vector<unsigned char> block(32768);
    std::vector<unsigned char> output(65536);
    z_stream stream{};
    inflateInit(&stream);
    while (std::fread(field, 1, 2, in) == 2) {
        const std::size_t length = nv::package::ReadU16(field);
        if (length == 0 || std::fread(block.data(), 1, length, in) != length) {
            break;
        }
        inflateReset(&stream);
        stream.next_in = block.data();
        stream.avail_in = static_cast<uInt>(length);
        int status = Z_OK;
        while (status == Z_OK) {
            stream.next_out = output.data();
            stream.avail_out = static_cast<uInt>(output.size());
            status = inflate(&stream, Z_NO_FLUSH);
            std::fwrite(output.data(), 1, output.size() - stream.avail_out, out);
        }
        if (status != Z_STREAM_END) {
            throw nv::Error("baseline inflate failed");
        }
    }
    inflateEnd(&stream);
    std::fclose(out);
    std::fclose(in);
    return Seconds(start);
}

struct Sample {
    double seconds = 0;
    long peakKiB = 0;
};

// Runs `args` as a child process (spawned without copying this process, so its peak memory is
// its own); the child reports its own time on stdout unless `wallTime`.
Sample Spawn(const std::vector<std::string>& args, bool wallTime) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        throw nv::Error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<char*> argv;
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        throw nv::Error("cannot start " + args[0]);
    }
    std::string text;
    char chunk[256];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], chunk, sizeof chunk)) > 0) {
        text.append(chunk, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw nv::Error("benchmark step failed: " + args[0] + " " + args[1] + "\n" + text);
    }
    Sample sample;
    sample.seconds = wallTime ? Seconds(start) : std::strtod(text.c_str(), nullptr);
    sample.peakKiB = usage.ru_maxrss;
    return sample;
}

Sample Median(std::vector<Sample> samples) {
    std::sort(samples.begin(), samples.end(),
              [](const Sample& a, const Sample& b) { return a.seconds < b.seconds; });
    Sample median = samples[samples.size() / 2];
    long peak = 0;
    for (const auto& s : samples) {
        peak = std::max(peak, s.peakKiB);
    }
    median.peakKiB = peak;
    return median;
}

struct Case {
    std::string label;
    std::vector<std::pair<std::string, std::uint64_t>> files;
    int runs;
    int buildRuns;
};

void Measure(const std::string& self, const std::string& nvpack, const std::string& scratch,
             const Case& c) {
    const std::string dir = scratch + "/" + c.label;
    fs::create_directories(dir + "/in");
    // A synthetic stub and file sets of the benchmark's own: neither is the product's.
    std::vector<std::string> build = {nvpack,        "build",           "--any-stub",
                                      "--any-files", "--stub",          scratch + "/stub.exe",
                                      "--out",       dir + "/setup.exe"};
    std::uint64_t input = 0;
    std::uint32_t seed = 1;
    for (const auto& [name, size] : c.files) {
        WriteProductFile(dir + "/in/" + name, size, seed++);
        build.push_back(dir + "/in/" + name);
        input += size;
    }
    const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
    std::vector<Sample> one;
    std::vector<Sample> all;
    for (int i = 0; i < c.buildRuns; ++i) {
        auto args = build;
        args.insert(args.begin() + 2, {"--jobs", "1"});
        one.push_back(Spawn(args, true));
        args[3] = std::to_string(cores);
        all.push_back(Spawn(args, true));
    }
    const std::uint64_t setupSize = fs::file_size(dir + "/setup.exe") - 1024;
    std::vector<Sample> reader;
    std::vector<Sample> baseline;
    for (int i = 0; i < c.runs; ++i) {
        reader.push_back(Spawn({self, "--reader", dir + "/setup.exe", dir + "/out"}, false));
        baseline.push_back(Spawn({self, "--baseline", dir + "/setup.exe", dir + "/base"}, false));
    }
    const Sample r = Median(reader);
    const Sample b = Median(baseline);
    const Sample b1 = Median(one);
    const Sample bn = Median(all);
    const double mb = static_cast<double>(input) / 1e6;
    std::printf("%-16s %9.2f MB  payload %5.1f%%  (runs: %d reader, %d build)\n", c.label.c_str(),
                mb, 100.0 * static_cast<double>(setupSize) / static_cast<double>(input), c.runs,
                c.buildRuns);
    std::printf("  reader (copy+inflate+split)  %8.1f ms  %7.1f MB/s  peak %6ld KiB\n",
                r.seconds * 1e3, mb / r.seconds, r.peakKiB);
    std::printf("  bare zlib inflate + write    %8.1f ms  %7.1f MB/s  peak %6ld KiB\n",
                b.seconds * 1e3, mb / b.seconds, b.peakKiB);
    std::printf("  reader / bare zlib time      %8.2f x\n", r.seconds / b.seconds);
    std::printf("  nvpack build --jobs 1        %8.1f ms  peak %6ld KiB\n", b1.seconds * 1e3,
                b1.peakKiB);
    std::printf("  nvpack build --jobs %-2u       %8.1f ms  peak %6ld KiB\n", cores,
                bn.seconds * 1e3, bn.peakKiB);
    std::printf("  build speed-up, all cores    %8.2f x\n\n", b1.seconds / bn.seconds);
    fs::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 4 &&
            (std::string(argv[1]) == "--reader" || std::string(argv[1]) == "--baseline")) {
            const double seconds = std::string(argv[1]) == "--reader"
                                       ? RunReader(argv[2], argv[3])
                                       : RunBaseline(argv[2], argv[3]);
            std::printf("%.9f\n", seconds);
            return 0;
        }
        if (argc < 3) {
            std::fprintf(stderr, "usage: package_bench NVPACK SCRATCH_DIR [RUNS]\n");
            return 2;
        }
        const std::string self = fs::canonical("/proc/self/exe").string();
        const std::string scratch = argv[2];
        const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
        fs::remove_all(scratch);
        fs::create_directories(scratch);
        WriteStub(scratch + "/stub.exe");
        const Case product{"product (8 files)",
                           {{"Sorvelin.exe", 885248},
                            {"Norvis.exe", 3495424},
                            {"Norvis.hlp", 348168},
                            {"Norvis_uk.hlp", 342378},
                            {"brannok.wav", 3272},
                            {"NV.OBJ", 55},
                            {"Deutsch.lng", 0},
                            {"English.lng", 0}},
                           runs,
                           runs};
        const Case big{"one 256 MB file", {{"Big.bin", 256ULL << 20}}, 3, 3};
        Measure(self, argv[1], scratch, product);
        Measure(self, argv[1], scratch, big);
        fs::remove_all(scratch);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "package_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
