// Variance-based box splitting (Wu's colour quantizer) on a 32 x 32 x 32 histogram.
//
// The colour cube is cut recursively: each step splits the box whose split most reduces
// the summed squared error, at the plane along red, green or blue that maximises the
// between-box variance. Cumulative moments make every box statistic O(1).
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image.h"

namespace tess {

class BoxSplitQuantizer {
public:
    // Builds at most `colours` boxes (fewer when the histogram has fewer occupied cells).
    BoxSplitQuantizer(const Image& image, int colours);

    const std::vector<Rgb>& palette() const { return m_palette; }
    // Index of the box holding the colour's histogram cell.
    int index(Rgb c) const;

private:
    std::vector<Rgb> m_palette;
    std::vector<std::uint8_t> m_tag;  // 33^3 cells: box index of each cell
};

}  // namespace tess
