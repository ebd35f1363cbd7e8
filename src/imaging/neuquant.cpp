// NeuQuant neural-network colour quantizer, after Anthony Dekker's published algorithm
// ("Kohonen neural networks for optimal colour quantization", Network 5, 1994).
#include "imaging/neuquant.h"

#include <algorithm>
#include <cstdlib>

namespace tess {

namespace {

// Four primes near 500; the sampling step is one not dividing the pixel count so that the
// samples visit the whole image.
constexpr int kPrimes[4] = {499, 491, 487, 503};
constexpr int kCycles = 100;
constexpr std::int64_t kMinSamplesPerNeuron = 200;
constexpr int kNetBiasShift = 4;  // colour values are kept with 4 extra bits
constexpr int kIntBiasShift = 16;
constexpr int kIntBias = 1 << kIntBiasShift;
constexpr int kGammaShift = 10;
constexpr int kBetaShift = 10;
constexpr int kBeta = kIntBias >> kBetaShift;
constexpr int kBetaGamma = kIntBias << (kGammaShift - kBetaShift);
constexpr int kRadiusBiasShift = 6;
constexpr int kRadiusBias = 1 << kRadiusBiasShift;
constexpr int kRadiusDec = 30;
constexpr int kAlphaBiasShift = 10;
constexpr int kInitAlpha = 1 << kAlphaBiasShift;
constexpr int kRadBiasShift = 8;
constexpr int kRadBias = 1 << kRadBiasShift;
constexpr int kAlphaRadBias = 1 << (kAlphaBiasShift + kRadBiasShift);

}  // namespace

NeuQuant::NeuQuant(const Image& image, int colours, int sampleFactor)
    : m_n(std::clamp(colours, 2, 256)),
      m_net(static_cast<std::size_t>(m_n)),
      m_bias(static_cast<std::size_t>(m_n), 0),
      m_freq(static_cast<std::size_t>(m_n), kIntBias / m_n),
      m_radPower(static_cast<std::size_t>(std::max(m_n >> 3, 1)), 0) {
    for (int i = 0; i < m_n; ++i) {
        const int v = (i << (kNetBiasShift + 8)) / m_n;
        m_net[i] = {v, v, v, i};
    }
    learn(image, std::clamp(sampleFactor, 1, 30));
    unbias();
    buildIndex();
}

int NeuQuant::contest(int b, int g, int r) {
    int bestd = INT32_MAX, bestBiasd = INT32_MAX;
    int bestPos = 0, bestBiasPos = 0;
    for (int i = 0; i < m_n; ++i) {
        const auto& n = m_net[i];
        const int dist = std::abs(n[0] - b) + std::abs(n[1] - g) + std::abs(n[2] - r);
        if (dist < bestd) {
            bestd = dist;
            bestPos = i;
        }
        const int biasDist = dist - (m_bias[i] >> (kIntBiasShift - kNetBiasShift));
        if (biasDist < bestBiasd) {
            bestBiasd = biasDist;
            bestBiasPos = i;
        }
        const int betaFreq = m_freq[i] >> kBetaShift;
        m_freq[i] -= betaFreq;
        m_bias[i] += betaFreq << kGammaShift;
    }
    m_freq[bestPos] += kBeta;
    m_bias[bestPos] -= kBetaGamma;
    return bestBiasPos;
}

void NeuQuant::alterSingle(int alpha, int i, int b, int g, int r) {
    auto& n = m_net[i];
    n[0] -= alpha * (n[0] - b) / kInitAlpha;
    n[1] -= alpha * (n[1] - g) / kInitAlpha;
    n[2] -= alpha * (n[2] - r) / kInitAlpha;
}

void NeuQuant::alterNeighbours(int rad, int i, int b, int g, int r) {
    const int lo = std::max(i - rad, -1);
    const int hi = std::min(i + rad, m_n);
    int j = i + 1, k = i - 1, m = 1;
    while (j < hi || k > lo) {
        const int a = m_radPower[m++];
        if (j < hi) {
            auto& p = m_net[j++];
            p[0] -= a * (p[0] - b) / kAlphaRadBias;
            p[1] -= a * (p[1] - g) / kAlphaRadBias;
            p[2] -= a * (p[2] - r) / kAlphaRadBias;
        }
        if (k > lo) {
            auto& p = m_net[k--];
            p[0] -= a * (p[0] - b) / kAlphaRadBias;
            p[1] -= a * (p[1] - g) / kAlphaRadBias;
            p[2] -= a * (p[2] - r) / kAlphaRadBias;
        }
    }
}

void NeuQuant::learn(const Image& image, int sampleFactor) {
    const std::int64_t pixels = static_cast<std::int64_t>(image.width()) * image.height();
    if (pixels == 0) return;
    // Tiny images are sampled at every pixel.
    if (pixels < kPrimes[3]) sampleFactor = 1;
    const int alphaDec = 30 + (sampleFactor - 1) / 3;
    // Small images are walked several times so that every neuron sees enough samples.
    const std::int64_t samples = std::max<std::int64_t>(pixels / sampleFactor, kMinSamplesPerNeuron * m_n);
    const std::int64_t delta = std::max<std::int64_t>(samples / kCycles, 1);
    int alpha = kInitAlpha;
    int radius = (m_n >> 3) * kRadiusBias;
    int rad = radius >> kRadiusBiasShift;
    if (rad <= 1) rad = 0;
    auto setRadPower = [&] {
        for (int j = 0; j < rad; ++j)
            m_radPower[j] = alpha * (((rad * rad - j * j) * kRadBias) / (rad * rad));
    };
    setRadPower();

    std::int64_t step = kPrimes[3];
    for (int p : kPrimes) {
        if (pixels % p != 0) {
            step = p;
            break;
        }
    }
    std::int64_t pos = 0;
    const int w = image.width();
    for (std::int64_t i = 0; i < samples;) {
        const Rgb c = image.pixel(static_cast<int>(pos % w), static_cast<int>(pos / w));
        const int b = c.b << kNetBiasShift, g = c.g << kNetBiasShift, r = c.r << kNetBiasShift;
        const int j = contest(b, g, r);
        alterSingle(alpha, j, b, g, r);
        if (rad) alterNeighbours(rad, j, b, g, r);
        pos = (pos + step) % pixels;
        ++i;
        if (i % delta == 0) {
            alpha -= alpha / alphaDec;
            radius -= radius / kRadiusDec;
            rad = radius >> kRadiusBiasShift;
            if (rad <= 1) rad = 0;
            setRadPower();
        }
    }
}

void NeuQuant::unbias() {
    m_palette.assign(static_cast<std::size_t>(m_n), Rgb{});
    for (int i = 0; i < m_n; ++i) {
        auto& n = m_net[i];
        for (int c = 0; c < 3; ++c) {
            n[c] = std::clamp((n[c] + (1 << (kNetBiasShift - 1))) >> kNetBiasShift, 0, 255);
        }
        n[3] = i;
        m_palette[i] = Rgb{static_cast<std::uint8_t>(n[0]), static_cast<std::uint8_t>(n[1]),
                           static_cast<std::uint8_t>(n[2])};
    }
}

void NeuQuant::buildIndex() {
    // Sort the network by green and note, per green value, where to start searching.
    int previous = 0, start = 0;
    for (int i = 0; i < m_n; ++i) {
        int smallPos = i;
        for (int j = i + 1; j < m_n; ++j)
            if (m_net[j][1] < m_net[smallPos][1]) smallPos = j;
        std::swap(m_net[i], m_net[smallPos]);
        const int smallVal = m_net[i][1];
        if (smallVal != previous) {
            m_netIndex[previous] = (start + i) >> 1;
            for (int j = previous + 1; j < smallVal; ++j) m_netIndex[j] = i;
            previous = smallVal;
            start = i;
        }
    }
    m_netIndex[previous] = (start + m_n - 1) >> 1;
    for (int j = previous + 1; j < 256; ++j) m_netIndex[j] = m_n - 1;
}

int NeuQuant::index(Rgb c) const {
    const int b = c.b, g = c.g, r = c.r;
    int bestd = 1000, best = 0;
    // Neurons are sorted by green; walk outwards from the first with this green in both
    // directions, each side stopping once green alone is farther than the best so far.
    // `greenDist` is the signed green distance in the walk's direction.
    const auto consider = [&](const std::array<int, 4>& p, int greenDist) {
        int dist = std::abs(greenDist) + std::abs(p[0] - b);
        if (dist >= bestd) return;
        dist += std::abs(p[2] - r);
        if (dist < bestd) {
            bestd = dist;
            best = p[3];
        }
    };
    int i = m_netIndex[g], j = i - 1;
    while (i < m_n || j >= 0) {
        if (i < m_n) {
            const int dist = m_net[i][1] - g;
            if (dist >= bestd) i = m_n;
            else consider(m_net[i++], dist);
        }
        if (j >= 0) {
            const int dist = g - m_net[j][1];
            if (dist >= bestd) j = -1;
            else consider(m_net[j--], dist);
        }
    }
    return best;
}

}  // namespace tess
