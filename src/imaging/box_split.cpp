// Wu's variance-based box-splitting colour quantizer.
#include "imaging/box_split.h"

#include <algorithm>
#include <array>

namespace tess {

namespace {

constexpr int kSide = 33;  // 32 cells per channel plus the zero plane of the moments
constexpr int kCells = kSide * kSide * kSide;

inline int at(int r, int g, int b) { return (r * kSide + g) * kSide + b; }

// Cumulative moments over the histogram: weight, sums of r, g, b and of r^2 + g^2 + b^2.
struct Moments {
    std::vector<std::int64_t> w, r, g, b;
    std::vector<double> m2;
    Moments() : w(kCells), r(kCells), g(kCells), b(kCells), m2(kCells) {}
};

// A box of histogram cells: (r0, r1] x (g0, g1] x (b0, b1].
struct Box {
    int r0 = 0, r1 = 0, g0 = 0, g1 = 0, b0 = 0, b1 = 0;
    int volume() const { return (r1 - r0) * (g1 - g0) * (b1 - b0); }
};

enum Axis { kRed, kGreen, kBlue };

template <typename T>
T vol(const Box& c, const std::vector<T>& m) {
    return m[at(c.r1, c.g1, c.b1)] - m[at(c.r1, c.g1, c.b0)] - m[at(c.r1, c.g0, c.b1)] +
           m[at(c.r1, c.g0, c.b0)] - m[at(c.r0, c.g1, c.b1)] + m[at(c.r0, c.g1, c.b0)] +
           m[at(c.r0, c.g0, c.b1)] - m[at(c.r0, c.g0, c.b0)];
}

// The part of vol() that does not depend on the cut position along `axis`.
std::int64_t bottom(const Box& c, Axis axis, const std::vector<std::int64_t>& m) {
    switch (axis) {
        case kRed:
            return -m[at(c.r0, c.g1, c.b1)] + m[at(c.r0, c.g1, c.b0)] + m[at(c.r0, c.g0, c.b1)] -
                   m[at(c.r0, c.g0, c.b0)];
        case kGreen:
            return -m[at(c.r1, c.g0, c.b1)] + m[at(c.r1, c.g0, c.b0)] + m[at(c.r0, c.g0, c.b1)] -
                   m[at(c.r0, c.g0, c.b0)];
        default:
            return -m[at(c.r1, c.g1, c.b0)] + m[at(c.r1, c.g0, c.b0)] + m[at(c.r0, c.g1, c.b0)] -
                   m[at(c.r0, c.g0, c.b0)];
    }
}

// The part of vol() of the sub-box below a cut at `pos` that depends on the position.
std::int64_t top(const Box& c, Axis axis, int pos, const std::vector<std::int64_t>& m) {
    switch (axis) {
        case kRed:
            return m[at(pos, c.g1, c.b1)] - m[at(pos, c.g1, c.b0)] - m[at(pos, c.g0, c.b1)] +
                   m[at(pos, c.g0, c.b0)];
        case kGreen:
            return m[at(c.r1, pos, c.b1)] - m[at(c.r1, pos, c.b0)] - m[at(c.r0, pos, c.b1)] +
                   m[at(c.r0, pos, c.b0)];
        default:
            return m[at(c.r1, c.g1, pos)] - m[at(c.r1, c.g0, pos)] - m[at(c.r0, c.g1, pos)] +
                   m[at(c.r0, c.g0, pos)];
    }
}

// Weighted variance of a box (sum of squared distances to its mean).
double variance(const Box& c, const Moments& m) {
    const double dr = static_cast<double>(vol(c, m.r));
    const double dg = static_cast<double>(vol(c, m.g));
    const double db = static_cast<double>(vol(c, m.b));
    const double w = static_cast<double>(vol(c, m.w));
    if (w <= 0) return 0;
    return vol(c, m.m2) - (dr * dr + dg * dg + db * db) / w;
}

// Best cut of `c` along `axis` in [first, last): the largest between-part variance term.
double maximize(const Box& c, Axis axis, int first, int last, int& cut, const Moments& m,
                std::int64_t wr, std::int64_t wg, std::int64_t wb, std::int64_t ww) {
    const std::int64_t baseR = bottom(c, axis, m.r), baseG = bottom(c, axis, m.g);
    const std::int64_t baseB = bottom(c, axis, m.b), baseW = bottom(c, axis, m.w);
    double best = 0;
    cut = -1;
    for (int i = first; i < last; ++i) {
        const std::int64_t hr = baseR + top(c, axis, i, m.r), hg = baseG + top(c, axis, i, m.g);
        const std::int64_t hb = baseB + top(c, axis, i, m.b), hw = baseW + top(c, axis, i, m.w);
        if (hw == 0 || hw == ww) continue;
        const double lo = (static_cast<double>(hr) * hr + static_cast<double>(hg) * hg +
                           static_cast<double>(hb) * hb) / static_cast<double>(hw);
        const double rr = static_cast<double>(wr - hr), rg = static_cast<double>(wg - hg);
        const double rb = static_cast<double>(wb - hb);
        const double hi = (rr * rr + rg * rg + rb * rb) / static_cast<double>(ww - hw);
        if (lo + hi > best) {
            best = lo + hi;
            cut = i;
        }
    }
    return best;
}

bool cutBox(Box& a, Box& b, const Moments& m) {
    const std::int64_t wr = vol(a, m.r), wg = vol(a, m.g), wb = vol(a, m.b), ww = vol(a, m.w);
    int cr, cg, cb;
    const double mr = maximize(a, kRed, a.r0 + 1, a.r1, cr, m, wr, wg, wb, ww);
    const double mg = maximize(a, kGreen, a.g0 + 1, a.g1, cg, m, wr, wg, wb, ww);
    const double mb = maximize(a, kBlue, a.b0 + 1, a.b1, cb, m, wr, wg, wb, ww);
    Axis axis;
    if (mr >= mg && mr >= mb) {
        axis = kRed;
        if (cr < 0) return false;
    } else if (mg >= mr && mg >= mb) {
        axis = kGreen;
    } else {
        axis = kBlue;
    }
    b.r1 = a.r1;
    b.g1 = a.g1;
    b.b1 = a.b1;
    switch (axis) {
        case kRed: b.r0 = a.r1 = cr; b.g0 = a.g0; b.b0 = a.b0; break;
        case kGreen: b.g0 = a.g1 = cg; b.r0 = a.r0; b.b0 = a.b0; break;
        case kBlue: b.b0 = a.b1 = cb; b.r0 = a.r0; b.g0 = a.g0; break;
    }
    return true;
}

}  // namespace

BoxSplitQuantizer::BoxSplitQuantizer(const Image& image, int colours) : m_tag(kCells, 0) {
    colours = std::clamp(colours, 1, 256);
    Moments m;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = image.pixel(x, y);
            const int i = at((c.r >> 3) + 1, (c.g >> 3) + 1, (c.b >> 3) + 1);
            m.w[i] += 1;
            m.r[i] += c.r;
            m.g[i] += c.g;
            m.b[i] += c.b;
            m.m2[i] += static_cast<double>(c.r * c.r + c.g * c.g + c.b * c.b);
        }
    }
    // Turn the histogram into cumulative moments from the origin.
    for (int r = 1; r < kSide; ++r) {
        std::array<std::int64_t, kSide> aw{}, ar{}, ag{}, ab{};
        std::array<double, kSide> a2{};
        for (int g = 1; g < kSide; ++g) {
            std::int64_t lw = 0, lr = 0, lg = 0, lb = 0;
            double l2 = 0;
            for (int b = 1; b < kSide; ++b) {
                const int i = at(r, g, b), j = at(r - 1, g, b);
                lw += m.w[i]; lr += m.r[i]; lg += m.g[i]; lb += m.b[i]; l2 += m.m2[i];
                aw[b] += lw; ar[b] += lr; ag[b] += lg; ab[b] += lb; a2[b] += l2;
                m.w[i] = m.w[j] + aw[b];
                m.r[i] = m.r[j] + ar[b];
                m.g[i] = m.g[j] + ag[b];
                m.b[i] = m.b[j] + ab[b];
                m.m2[i] = m.m2[j] + a2[b];
            }
        }
    }

    std::vector<Box> boxes(static_cast<std::size_t>(colours));
    std::vector<double> vv(static_cast<std::size_t>(colours), 0);
    boxes[0] = Box{0, 32, 0, 32, 0, 32};
    int count = 1;
    int next = 0;
    for (int i = 1; i < colours; ++i) {
        if (cutBox(boxes[next], boxes[i], m)) {
            vv[next] = boxes[next].volume() > 1 ? variance(boxes[next], m) : 0;
            vv[i] = boxes[i].volume() > 1 ? variance(boxes[i], m) : 0;
            count = i + 1;
        } else {
            vv[next] = 0;
            --i;
        }
        next = 0;
        double worst = vv[0];
        for (int k = 1; k <= i; ++k) {
            if (vv[k] > worst) {
                worst = vv[k];
                next = k;
            }
        }
        if (worst <= 0) break;
    }

    m_palette.assign(static_cast<std::size_t>(count), Rgb{});
    for (int k = 0; k < count; ++k) {
        const Box& c = boxes[k];
        for (int r = c.r0 + 1; r <= c.r1; ++r)
            for (int g = c.g0 + 1; g <= c.g1; ++g)
                for (int b = c.b0 + 1; b <= c.b1; ++b) m_tag[at(r, g, b)] = static_cast<std::uint8_t>(k);
        const std::int64_t w = vol(c, m.w);
        if (w > 0) {
            m_palette[k] = Rgb{static_cast<std::uint8_t>(vol(c, m.b) / w),
                               static_cast<std::uint8_t>(vol(c, m.g) / w),
                               static_cast<std::uint8_t>(vol(c, m.r) / w)};
        }
    }
}

int BoxSplitQuantizer::index(Rgb c) const {
    return m_tag[at((c.r >> 3) + 1, (c.g >> 3) + 1, (c.b >> 3) + 1)];
}

}  // namespace tess
