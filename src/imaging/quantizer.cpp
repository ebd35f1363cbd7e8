// Palette rules of TIEQuantizer: exact colours, grey ramp, box splitting, NeuQuant.
#include "imaging/quantizer.h"

#include <algorithm>

#include "imaging/box_split.h"
#include "imaging/neuquant.h"

namespace tess {

namespace {

std::uint32_t key(Rgb c) {
    return (static_cast<std::uint32_t>(c.r) << 16) | (static_cast<std::uint32_t>(c.g) << 8) | c.b;
}

}  // namespace

TIEQuantizer::TIEQuantizer(const Image& image, int colours)
    : m_count(std::clamp(colours, 1, 256)), m_palette(static_cast<std::size_t>(m_count)) {
    // Rule 1: the distinct colours in order of first appearance, when there are few enough.
    bool fits = true;
    bool grey = true;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = image.pixel(x, y);
            if (c.r != c.g || c.g != c.b) grey = false;
            if (fits) {
                auto [it, added] = m_exact.try_emplace(key(c), static_cast<int>(m_exact.size()));
                if (added) {
                    if (it->second >= m_count) {
                        fits = false;
                        m_exact.clear();
                    } else {
                        m_palette[it->second] = c;
                    }
                }
            }
            if (!fits && !grey) break;
        }
        if (!fits && !grey) break;
    }
    if (fits) {
        m_rule = Rule::Exact;
        return;
    }
    std::fill(m_palette.begin(), m_palette.end(), Rgb{});
    if (grey) {
        m_rule = Rule::GreyRamp;
        for (int k = 0; k < m_count; ++k) {
            const auto v = static_cast<std::uint8_t>(256 * k / m_count);
            m_palette[k] = Rgb{v, v, v};
        }
        return;
    }
    if (m_count < 128) {
        m_rule = Rule::BoxSplit;
        m_box = std::make_unique<BoxSplitQuantizer>(image, m_count);
        std::copy(m_box->palette().begin(), m_box->palette().end(), m_palette.begin());
    } else {
        m_rule = Rule::NeuQuant;
        m_neu = std::make_unique<NeuQuant>(image, m_count);
        std::copy(m_neu->palette().begin(), m_neu->palette().end(), m_palette.begin());
    }
}

TIEQuantizer::~TIEQuantizer() = default;

int TIEQuantizer::RGBIndex(std::uint32_t rgb) const {
    return index(Rgb{static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8),
                     static_cast<std::uint8_t>(rgb >> 16)});
}

int TIEQuantizer::index(Rgb c) const {
    switch (m_rule) {
        case Rule::Exact: {
            const auto it = m_exact.find(key(c));
            return it != m_exact.end() ? it->second : 0;
        }
        case Rule::GreyRamp:
            return c.r * m_count / 256;
        case Rule::BoxSplit:
            return m_box->index(c);
        case Rule::NeuQuant:
            return m_neu->index(c);
    }
    return 0;
}

}  // namespace tess
