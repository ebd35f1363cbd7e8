// Build tool: draws the application's icon, a rounded teal tile with a white "T", at 16,
// 32, 48 and 256 pixels in 32-bit colour with alpha, and writes it as one icon file.
//
// Usage: make_app_icon OUTPUT.ico
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <vector>

#include "iconfile/icon_codec.h"
#include "imaging/image.h"
#include "imaging/io_params.h"

namespace {

constexpr int kSubsamples = 4;  // per axis, for smooth edges

// Inside the tile: a square with rounded corners of radius r (all in units of the size).
bool inTile(double x, double y) {
    const double r = 0.2;
    const double cx = std::clamp(x, r, 1.0 - r);
    const double cy = std::clamp(y, r, 1.0 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r && x >= 0 && x <= 1 && y >= 0 &&
           y <= 1;
}

// The letter: a bar across the top and a stem down the middle.
bool inLetter(double x, double y) {
    const bool bar = x >= 0.2 && x <= 0.8 && y >= 0.2 && y <= 0.36;
    const bool stem = x >= 0.41 && x <= 0.59 && y >= 0.2 && y <= 0.82;
    return bar || stem;
}

tess::Image drawTile(int size) {
    tess::Image image(size, size, tess::PixelFormat::Bgr24);
    image.ensureAlpha(0);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            int tileHits = 0;
            int letterHits = 0;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const double x = (px + (sx + 0.5) / kSubsamples) / size;
                    const double y = (py + (sy + 0.5) / kSubsamples) / size;
                    if (!inTile(x, y)) continue;
                    ++tileHits;
                    if (inLetter(x, y)) ++letterHits;
                }
            }
            const double total = kSubsamples * kSubsamples;
            const double coverage = tileHits / total;
            if (tileHits == 0) continue;
            // A vertical gradient from light to dark teal, the letter blended over it.
            const double t = (py + 0.5) / size;
            const double red = 24 - 12 * t, green = 150 - 60 * t, blue = 160 - 60 * t;
            const double letter = double(letterHits) / tileHits;
            auto mix = [&](double c) {
                return static_cast<std::uint8_t>(std::lround(c + (255 - c) * letter));
            };
            image.setPixel(px, py, tess::Rgb{mix(blue), mix(green), mix(red)});
            image.alphaRow(py)[px] = static_cast<std::uint8_t>(std::lround(255 * coverage));
        }
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_app_icon OUTPUT.ico\n");
        return 2;
    }
    try {
        const int sizes[] = {16, 32, 48, 256};
        std::vector<tess::Image> images;
        std::vector<tess::TIOParamsVals> params;
        for (int size : sizes) {
            images.push_back(drawTile(size));
            tess::TIOParamsVals p;
            p.width = size;
            p.height = size;
            p.bitsPerSample = 8;
            p.samplesPerPixel = 4;
            params.push_back(p);
        }
        std::vector<tess::IconFrameSource> frames;
        for (std::size_t i = 0; i < images.size(); ++i) frames.push_back({&images[i], &params[i]});
        tess::WriteIconFile(argv[1], frames);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_app_icon: %s\n", e.what());
        return 1;
    }
    return 0;
}
