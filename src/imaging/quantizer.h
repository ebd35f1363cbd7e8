// Colour reduction of a 24-bit image to a palette of N colours.
//
// The palette is built by the first rule that applies:
//  1. the image has at most N distinct colours: exactly these, in order of first
//     appearance (rows from the top, each row from the left); index = position;
//  2. every pixel is grey: entry k is trunc(256 / N * k) in all channels and a colour's
//     index is trunc(red * N / 256);
//  3. otherwise a variance-based box-splitting quantizer for N < 128 and NeuQuant for
//     N >= 128; the index is the chosen quantizer's nearest entry.
// Rule 1 is tested before the grey ramp so that a grey image with few levels keeps them
// exactly (white stays 255 at 16 colours).
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "imaging/image.h"

namespace tess {

class BoxSplitQuantizer;
class NeuQuant;

class TIEQuantizer {
public:
    enum class Rule { Exact, GreyRamp, BoxSplit, NeuQuant };

    // `colours` is clamped to 1..256. A 1-bit image is read as black and white.
    TIEQuantizer(const Image& image, int colours);
    ~TIEQuantizer();
    TIEQuantizer(const TIEQuantizer&) = delete;
    TIEQuantizer& operator=(const TIEQuantizer&) = delete;

    int colourCount() const { return m_count; }
    Rule rule() const { return m_rule; }
    // Exactly colourCount() entries; entries past the distinct colours of rule 1 are black.
    const std::vector<Rgb>& palette() const { return m_palette; }
    // Entries that carry colours: the distinct colours under rule 1, else colourCount().
    int usedCount() const {
        return m_rule == Rule::Exact ? static_cast<int>(m_exact.size()) : m_count;
    }

    // Palette index of a colour given as red * 65536 + green * 256 + blue.
    int RGBIndex(std::uint32_t rgb) const;
    int index(Rgb c) const;

private:
    int m_count = 0;
    Rule m_rule = Rule::Exact;
    std::vector<Rgb> m_palette;
    std::unordered_map<std::uint32_t, int> m_exact;
    std::unique_ptr<BoxSplitQuantizer> m_box;
    std::unique_ptr<NeuQuant> m_neu;
};

}  // namespace tess
