// NeuQuant: Kohonen self-organising map colour quantizer (A. Dekker, 1994).
//
// A one-dimensional network of N neurons is trained on a pseudo-random sample of the
// pixels with a decreasing learning rate and neighbourhood radius; the neurons become the
// palette. Lookup is a nearest-neighbour search over the network sorted by green.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/image.h"

namespace tess {

class NeuQuant {
public:
    // `colours` in 2..256; `sampleFactor` 1 (best) .. 30 (fastest).
    NeuQuant(const Image& image, int colours, int sampleFactor = 10);

    const std::vector<Rgb>& palette() const { return m_palette; }
    int index(Rgb c) const;

private:
    void learn(const Image& image, int sampleFactor);
    void unbias();
    void buildIndex();
    int contest(int b, int g, int r);
    void alterSingle(int alpha, int i, int b, int g, int r);
    void alterNeighbours(int rad, int i, int b, int g, int r);

    int m_n;
    std::vector<std::array<int, 4>> m_net;  // b, g, r, original index
    std::vector<int> m_bias;
    std::vector<int> m_freq;
    std::vector<int> m_radPower;
    std::array<int, 256> m_netIndex{};
    std::vector<Rgb> m_palette;
};

}  // namespace tess
