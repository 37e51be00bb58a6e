#pragma once
// The maker's mark, a diamond cut into four facets: drawn on the wizard's background picture
// and, at build time, into Setup.exe's icon. Plain data, so that both the Windows program and
// the icon tool built for the build machine read the one drawing.

namespace nv::wizard::mark {

struct Colour {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
};

inline constexpr Colour kInk{33, 43, 51};
inline constexpr Colour kTeal{7, 168, 155};
inline constexpr Colour kDeepTeal{4, 112, 104};
inline constexpr Colour kPaleTeal{132, 212, 204};

// Each facet is a square standing on one corner, reaching kFacet pixels from its centre to each
// corner; the facets' centres lie kStep pixels above, left of, right of and below the mark's
// centre, which leaves a seam of kStep - kFacet pixels between them.
inline constexpr int kFacet = 13;
inline constexpr int kStep = kFacet + 2;

struct Facet {
    int dx;  // the facet's centre relative to the mark's, in units of kStep
    int dy;
    Colour colour;
};

inline constexpr Facet kFacets[] = {
    {0, -1, kTeal},
    {-1, 0, kInk},
    {1, 0, kPaleTeal},
    {0, 1, kDeepTeal},
};

}  // namespace nv::wizard::mark
