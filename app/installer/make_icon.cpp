// Build-time tool, run on the build machine: draws the maker's mark into Setup.exe's icon file
// at 16, 32, 48 and 256 pixels. The 16-pixel image is a 32-bit bitmap with its mask; the larger
// ones are PNGs, which every Windows the setup runs on (7 and later) reads at any size and which
// take a tenth of a bitmap's bytes for this flat drawing. The output depends on nothing but this
// drawing, so every build makes the same bytes.
//
//     make_icon OUT.ico

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "maker_mark.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Image {
    int size;
    std::vector<std::uint32_t> rgba;  // straight alpha, rows top-down: 0xAABBGGRR
};

constexpr int kSamples = 8;  // per pixel and axis, for smooth edges
// The mark spans 2 * (kStep + kFacet) pixels in the wizard's picture; the icon leaves a
// margin of two of those pixels around it.
constexpr double kMarkSpan = 2.0 * (nv::wizard::mark::kStep + nv::wizard::mark::kFacet) + 4.0;

Image Draw(int size) {
    namespace mark = nv::wizard::mark;
    Image image{size, std::vector<std::uint32_t>(static_cast<std::size_t>(size) * size, 0)};
    const double scale = kMarkSpan / size;  // mark pixels per icon pixel
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double red = 0;
            double green = 0;
            double blue = 0;
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double mx = (x + (sx + 0.5) / kSamples) * scale - kMarkSpan / 2;
                    const double my = (y + (sy + 0.5) / kSamples) * scale - kMarkSpan / 2;
                    for (const mark::Facet& facet : mark::kFacets) {
                        const double dx = mx - facet.dx * mark::kStep;
                        const double dy = my - facet.dy * mark::kStep;
                        if (std::abs(dx) + std::abs(dy) <= mark::kFacet) {
                            red += facet.colour.red;
                            green += facet.colour.green;
                            blue += facet.colour.blue;
                            ++covered;
                            break;
                        }
                    }
                }
            }
            if (covered == 0) {
                continue;
            }
            const auto channel = [covered](double sum) {
                return static_cast<std::uint32_t>(sum / covered + 0.5);
            };
            const std::uint32_t alpha =
                (covered * 255 + kSamples * kSamples / 2) / (kSamples * kSamples);
            image.rgba[static_cast<std::size_t>(y) * size + x] =
                channel(red) | channel(green) << 8 | channel(blue) << 16 | alpha << 24;
        }
    }
    return image;
}

void PutU16(Bytes& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void PutU32(Bytes& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutU32BigEndian(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>((value >> shift) & 0xFF));
    }
}

// An icon image as a bitmap: header, BGRA rows bottom-up, then the mask (set = transparent).
Bytes AsBitmap(const Image& image) {
    const int size = image.size;
    const int maskPitch = (size + 31) / 32 * 4;
    Bytes out;
    PutU32(out, 40);
    PutU32(out, size);
    PutU32(out, size * 2);  // the colour rows and the mask rows
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(size * size * 4 + maskPitch * size));
    for (int i = 0; i < 4; ++i) {
        PutU32(out, 0);
    }
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const std::uint32_t p = image.rgba[static_cast<std::size_t>(y) * size + x];
            out.push_back(static_cast<unsigned char>((p >> 16) & 0xFF));
            out.push_back(static_cast<unsigned char>((p >> 8) & 0xFF));
            out.push_back(static_cast<unsigned char>(p & 0xFF));
            out.push_back(static_cast<unsigned char>(p >> 24));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(maskPitch), 0);
        for (int x = 0; x < size; ++x) {
            if ((image.rgba[static_cast<std::size_t>(y) * size + x] >> 24) == 0) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

void PutChunk(Bytes& out, const char* type, const Bytes& data) {
    PutU32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutU32BigEndian(
        out, static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

// An icon image as a PNG: RGBA, eight bits a channel, no filtering.
Bytes AsPng(const Image& image) {
    const int size = image.size;
    Bytes raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);
        for (int x = 0; x < size; ++x) {
            PutU32(raw, image.rgba[static_cast<std::size_t>(y) * size + x]);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) !=
        Z_OK) {
        return {};
    }
    packed.resize(packedSize);
    Bytes header;
    PutU32BigEndian(header, static_cast<std::uint32_t>(size));
    PutU32BigEndian(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        (void)std::fprintf(stderr, "usage: make_icon OUT.ico\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48, 256};
    std::vector<Bytes> images;
    for (const int size : sizes) {
        images.push_back(size > 16 ? AsPng(Draw(size)) : AsBitmap(Draw(size)));
        if (images.back().empty()) {
            (void)std::fprintf(stderr, "make_icon: cannot compress the %d-pixel image\n", size);
            return 1;
        }
    }
    Bytes out;
    PutU16(out, 0);
    PutU16(out, 1);  // an icon
    PutU16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<unsigned char>(sizes[i] & 0xFF));  // 256 is written as 0
        out.push_back(static_cast<unsigned char>(sizes[i] & 0xFF));
        out.push_back(0);
        out.push_back(0);
        PutU16(out, 1);
        PutU16(out, 32);
        PutU32(out, static_cast<std::uint32_t>(images[i].size()));
        PutU32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const Bytes& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    const bool written =
        file != nullptr && std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        (void)std::fprintf(stderr, "make_icon: cannot write \"%s\"\n", argv[1]);
        (void)std::remove(argv[1]);
        return 1;
    }
    return 0;
}
