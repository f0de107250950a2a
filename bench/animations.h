#pragma once
// Animations of the kinds people make and share, generated so the optimiser's benchmark and its
// tests see the same material. Each is written as a simple recorder or drawing program would
// write it: every frame the whole picture, unless the kind itself calls for transparency.
//   screen:    a window where text is typed and a pointer moves (16 colours, one global table)
//   video:     a photograph panned by a camera, 256 colours chosen per frame (local tables)
//   cartoon:   flat colours, a bouncing ball, a sun and a walking figure
//   sprite:    a pixel-art walk cycle, enlarged 4x, on a see-through background
//   spinner:   a soft-edged loading wheel on a see-through background, disposal "background"
//   chart:     a line chart that grows point by point
//   ticker:    a banner whose text scrolls
//   cinemagraph: a still photograph in which only a small part moves (one palette for all frames)
//   clip:      a fixed camera filming someone walking past, one palette for the clip, dithered
//              frame by frame as video converters do
// `scale` shrinks sizes and frame counts for tests (1 = the benchmark's size).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "gif/document.h"
#include "imaging/ppm.h"
#include "imaging/reduction.h"

namespace animations {

using Argb = uint32_t;
constexpr Argb kClear = 0;

struct Canvas {
    int width, height;
    std::vector<Argb> pixels;
    Canvas(int w, int h, Argb fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    void set(int x, int y, Argb c) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[size_t(y) * width + x] = c;
    }
    void rect(int x0, int y0, int w, int h, Argb c) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) set(x, y, c);
    }
    void disc(double cx, double cy, double r, Argb c) {
        for (int y = int(cy - r); y <= int(cy + r) + 1; ++y)
            for (int x = int(cx - r); x <= int(cx + r) + 1; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) set(x, y, c);
    }
    void line(double x0, double y0, double x1, double y1, double thick, Argb c) {
        const int steps = int(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
        for (int i = 0; i <= steps; ++i)
            disc(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, thick, c);
    }
};

inline Argb rgb(int r, int g, int b) {
    return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

// Appends the canvas as a whole frame. Pictures of at most 256 colours share the global table
// (see-through pixels get an entry of their own); others are reduced to 256 colours with a
// local table, as an import does.
inline void addFrame(GifAnimation& doc, const Canvas& canvas, uint16_t delay, uint32_t disposal = 0) {
    doc.screenWidth = uint16_t(canvas.width);
    doc.screenHeight = uint16_t(canvas.height);
    GifFrame frame;
    frame.delay = delay;
    frame.disposal = disposal;
    std::vector<Argb> known;
    for (const RgbColor& c : doc.globalTable.entries) known.push_back(c.toArgb());
    std::vector<Argb> added = known;
    bool fits = true;
    for (Argb p : canvas.pixels) {
        const Argb key = p == kClear ? 0xFF000001u : p;  // the see-through entry: a colour no picture uses
        if (std::find(added.begin(), added.end(), key) == added.end()) {
            if (added.size() == 256) {
                fits = false;
                break;
            }
            added.push_back(key);
        }
    }
    if (fits) {
        doc.hasGlobalTable = true;
        for (size_t i = known.size(); i < added.size(); ++i)
            doc.globalTable.entries.push_back(RgbColor::fromPacked(added[i]));
        frame.bitmap = IndexedBitmap::create(uint32_t(canvas.width), uint32_t(canvas.height));
        for (int y = 0; y < canvas.height; ++y)
            for (int x = 0; x < canvas.width; ++x) {
                const Argb p = canvas.pixels[size_t(y) * canvas.width + x];
                const Argb key = p == kClear ? 0xFF000001u : p;
                const size_t index = size_t(std::find(added.begin(), added.end(), key) - added.begin());
                frame.bitmap->row(uint32_t(y))[x] = uint8_t(index);
                if (p == kClear) {
                    frame.transparent = true;
                    frame.transparentIndex = uint8_t(index);
                }
            }
    } else {
        storeInFrame(reduceArgbPicture(canvas.pixels.data(), uint32_t(canvas.width), uint32_t(canvas.height),
                                       int32_t(canvas.width * 4)),
                     frame);
    }
    doc.frames.push_back(std::move(frame));
}

// One table for a whole clip, as video converters build it: the colours of its first picture.
inline ColorTable clipPalette(const Canvas& first) {
    return reduceArgbPicture(first.pixels.data(), uint32_t(first.width), uint32_t(first.height),
                             int32_t(first.width * 4))
        .colors;
}

// Appends the canvas drawn with the clip's table, by nearest colour or with Floyd-Steinberg
// error diffusion. Expects the global table to be `palette` already.
inline void addMappedFrame(GifAnimation& doc, const Canvas& canvas, const ColorTable& palette, bool dither,
                           uint16_t delay) {
    doc.screenWidth = uint16_t(canvas.width);
    doc.screenHeight = uint16_t(canvas.height);
    doc.hasGlobalTable = true;
    doc.globalTable.entries = palette.entries;
    static std::vector<int16_t> nearest;  // by 5 bits a channel; rebuilt for each palette
    static std::vector<RgbColor> cachedFor;
    if (cachedFor != palette.entries) {
        cachedFor = palette.entries;
        nearest.assign(size_t(1) << 15, -1);
    }
    auto lookup = [&](int r, int g, int b) {
        const size_t key = size_t(r >> 3) << 10 | size_t(g >> 3) << 5 | size_t(b >> 3);
        if (nearest[key] < 0) {
            int best = 0, bestDistance = 1 << 30;
            for (size_t i = 0; i < palette.entries.size(); ++i) {
                const RgbColor& c = palette.entries[i];
                const int d =
                    (c.red - r) * (c.red - r) + (c.green - g) * (c.green - g) + (c.blue - b) * (c.blue - b);
                if (d < bestDistance) bestDistance = d, best = int(i);
            }
            nearest[key] = int16_t(best);
        }
        return nearest[key];
    };
    GifFrame frame;
    frame.delay = delay;
    frame.bitmap = IndexedBitmap::create(uint32_t(canvas.width), uint32_t(canvas.height));
    std::vector<int> error(size_t(canvas.width + 2) * 3 * 2, 0);
    for (int y = 0; y < canvas.height; ++y) {
        int* here = error.data() + size_t(y % 2) * (canvas.width + 2) * 3;
        int* below = error.data() + size_t((y + 1) % 2) * (canvas.width + 2) * 3;
        std::fill(below, below + (canvas.width + 2) * 3, 0);
        for (int x = 0; x < canvas.width; ++x) {
            const Argb p = canvas.pixels[size_t(y) * canvas.width + x];
            int want[3] = {int(p >> 16 & 255), int(p >> 8 & 255), int(p & 255)};
            for (int k = 0; k < 3 && dither; ++k)
                want[k] = std::clamp(want[k] + here[(x + 1) * 3 + k] / 16, 0, 255);
            const int index = lookup(want[0], want[1], want[2]);
            frame.bitmap->row(uint32_t(y))[x] = uint8_t(index);
            if (!dither) continue;
            const RgbColor& got = palette.entries[size_t(index)];
            const int err[3] = {want[0] - got.red, want[1] - got.green, want[2] - got.blue};
            for (int k = 0; k < 3; ++k) {
                here[(x + 2) * 3 + k] += err[k] * 7;
                below[x * 3 + k] += err[k] * 3;
                below[(x + 1) * 3 + k] += err[k] * 5;
                below[(x + 2) * 3 + k] += err[k];
            }
        }
    }
    doc.frames.push_back(std::move(frame));
}

// A 5 x 7 glyph for any character, the same each time it is drawn.
inline void glyph(Canvas& c, int x, int y, int ch, int size, Argb colour) {
    std::mt19937 bits(uint32_t(ch) * 7919u);
    for (int gy = 0; gy < 7; ++gy)
        for (int gx = 0; gx < 5; ++gx)
            if (bits() % 3 == 0) c.rect(x + gx * size, y + gy * size, size, size, colour);
}

inline void pointer(Canvas& c, int x, int y) {
    for (int i = 0; i < 14; ++i) {
        c.rect(x, y + i, i / 2 + 1, 1, rgb(255, 255, 255));
        c.set(x + i / 2 + 1, y + i, rgb(0, 0, 0));
    }
    c.rect(x, y + 14, 8, 1, rgb(0, 0, 0));
}

inline void makeScreen(GifAnimation& doc, int scale = 1) {
    const int w = 640 / scale, h = 400 / scale, frames = 80 / scale;
    const char* text = "int main() { return optimize(\"cat.gif\"); } // typed one key a frame";
    for (int f = 0; f < frames; ++f) {
        Canvas c(w, h, rgb(236, 236, 236));
        c.rect(0, 0, w, 20, rgb(40, 90, 160));
        c.rect(8, 30, w - 16, h - 40, rgb(255, 255, 255));
        c.rect(w - 60, 4, 12, 12, rgb(220, 60, 50));
        const int typed = std::min<int>(f, 60);
        for (int i = 0; i < typed; ++i)
            glyph(c, 16 + (i % 40) * 12, 40 + (i / 40) * 18, text[i % 64], 2,
                  i % 7 ? rgb(20, 20, 20) : rgb(0, 0, 200));
        if (f % 10 < 5) c.rect(16 + (typed % 40) * 12, 40 + (typed / 40) * 18, 2, 14, rgb(0, 0, 0));
        pointer(c, int(w * 0.2 + f * 3) % w, int(h * 0.6 + 40 * std::sin(f / 9.0)));
        addFrame(doc, c, 10);
    }
    doc.loopForever = true;
}

// A smooth scene with grain stands in for a photograph when none is at hand.
inline RgbPicture syntheticPhoto(int w, int h) {
    RgbPicture p;
    p.width = uint32_t(w);
    p.height = uint32_t(h);
    std::mt19937 rng(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double v = std::sin(x / 37.0) * std::cos(y / 23.0) + std::sin((x + 2 * y) / 91.0);
            const int grain = int(rng() % 9) - 4;
            p.rgb.push_back(uint8_t(std::clamp(int(120 + 60 * v) + grain, 0, 255)));
            p.rgb.push_back(uint8_t(std::clamp(int(140 + 40 * std::sin(y / 50.0)) + grain, 0, 255)));
            p.rgb.push_back(uint8_t(std::clamp(int(90 + 70 * std::cos(x / 80.0)) + grain, 0, 255)));
        }
    return p;
}

inline Canvas cut(const RgbPicture& photo, int x0, int y0, int w, int h) {
    Canvas c(w, h, kClear);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &photo.rgb[(size_t(y0 + y) * photo.width + size_t(x0 + x)) * 3];
            c.pixels[size_t(y) * w + x] = rgb(p[0], p[1], p[2]);
        }
    return c;
}

inline void makeVideo(GifAnimation& doc, const RgbPicture& photo, int scale = 1) {
    const int w = 400 / scale, h = 226 / scale, frames = 30 / scale;
    for (int f = 0; f < frames; ++f) {
        const int x = int(photo.width - w) * f / std::max(1, frames - 1) / 3;
        addFrame(doc, cut(photo, x, int(photo.height - h) / 2, w, h), 4);
    }
    doc.loopForever = true;
}

inline void makeCinemagraph(GifAnimation& doc, const RgbPicture& photo, int scale = 1) {
    const int w = 360 / scale, h = 240 / scale, frames = 24 / scale;
    const Canvas still = cut(photo, int(photo.width - w) / 3, int(photo.height - h) / 3, w, h);
    const ColorTable palette = clipPalette(still);
    for (int f = 0; f < frames; ++f) {
        Canvas c = still;
        // Ripples over the lower quarter: pixels borrowed from the row above, shifting in time.
        for (int y = h * 3 / 4; y < h; ++y)
            for (int x = w / 4; x < w * 3 / 4; ++x) {
                const int dy = int(2.5 * std::sin(x / 6.0 + f * 0.8 + y / 9.0));
                c.pixels[size_t(y) * w + x] = still.pixels[size_t(std::clamp(y + dy, 0, h - 1)) * w + x];
            }
        addMappedFrame(doc, c, palette, false, 8);
    }
    doc.loopForever = true;
}

inline void makeClip(GifAnimation& doc, const RgbPicture& photo, int scale = 1) {
    const int w = 400 / scale, h = 226 / scale, frames = 30 / scale;
    const Canvas scene = cut(photo, int(photo.width - w) / 2, int(photo.height - h) / 4, w, h);
    const ColorTable palette = clipPalette(scene);
    for (int f = 0; f < frames; ++f) {
        Canvas c = scene;
        // Someone walking past: a body, a head and a swinging arm, in soft shades.
        const double x = w * (0.15 + 0.7 * f / frames), swing = std::sin(f * 0.7) * h * 0.08;
        for (int k = 0; k < 6; ++k) {
            const int shade = 40 + k * 12;
            c.disc(x, h * 0.55 + k, h * 0.16 - k, rgb(shade + 60, shade, shade / 2));
            c.disc(x + 2, h * 0.28 + k * 0.5, h * 0.07 - k * 0.6, rgb(220 - k * 8, 180 - k * 6, 150 - k * 5));
        }
        c.line(x + h * 0.1, h * 0.5, x + h * 0.12 + swing, h * 0.75, h * 0.025, rgb(90, 50, 40));
        addMappedFrame(doc, c, palette, true, 5);
    }
    doc.loopForever = true;
}

inline void makeCartoon(GifAnimation& doc, int scale = 1) {
    const int w = 480 / scale, h = 320 / scale, frames = 48 / scale;
    for (int f = 0; f < frames; ++f) {
        Canvas c(w, h, rgb(140, 200, 250));
        c.rect(0, h * 3 / 4, w, h / 4, rgb(90, 170, 70));
        c.disc(w * 0.85, h * 0.2, h * 0.1, rgb(250, 220, 60));
        const double t = f / double(frames);
        const double bx = w * t, by = h * 0.75 - std::fabs(std::sin(t * 12.5)) * h * 0.4;
        c.disc(bx, h * 0.77, h * 0.05, rgb(60, 120, 50));
        c.disc(bx, by - h * 0.06, h * 0.06, rgb(230, 60, 60));
        const double fx = w * (0.9 - 0.6 * t), fy = h * 0.55, swing = std::sin(f * 0.9) * h * 0.06;
        c.disc(fx, fy - h * 0.12, h * 0.035, rgb(255, 210, 170));
        c.line(fx, fy - h * 0.09, fx, fy, 2, rgb(30, 30, 120));
        c.line(fx, fy, fx - swing, fy + h * 0.1, 2, rgb(30, 30, 120));
        c.line(fx, fy, fx + swing, fy + h * 0.1, 2, rgb(30, 30, 120));
        c.line(fx, fy - h * 0.06, fx + swing, fy - h * 0.01, 1.5, rgb(255, 210, 170));
        addFrame(doc, c, 6);
    }
    doc.loopForever = true;
}

inline void makeSprite(GifAnimation& doc, int scale = 1) {
    const int zoom = std::max(1, 4 / scale), side = 32, frames = 8;
    const Argb palette[6] = {rgb(40, 30, 20),  rgb(240, 190, 150), rgb(200, 40, 40),
                             rgb(40, 60, 200), rgb(90, 60, 30),    rgb(255, 255, 255)};
    for (int f = 0; f < frames; ++f) {
        Canvas s(side, side, kClear);
        const int step = (f % 4 < 2 ? 1 : -1) * (f % 2 ? 2 : 4), bob = f % 2;
        s.rect(12, 3 + bob, 8, 7, palette[1]);
        s.rect(12, 2 + bob, 8, 2, palette[0]);
        s.set(17, 6 + bob, palette[0]);
        s.rect(11, 10 + bob, 10, 9, palette[2]);
        s.rect(9, 11 + bob, 2, 6 - step / 2, palette[1]);
        s.rect(21, 11 + bob, 2, 6 + step / 2, palette[1]);
        s.rect(12 + step / 2, 19 + bob, 3, 9, palette[3]);
        s.rect(17 - step / 2, 19 + bob, 3, 9, palette[3]);
        s.rect(11 + step / 2, 28, 5, 2, palette[4]);
        s.rect(16 - step / 2, 28, 5, 2, palette[4]);
        Canvas c(side * zoom, side * zoom, kClear);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                c.pixels[size_t(y) * c.width + x] = s.pixels[size_t(y / zoom) * side + x / zoom];
        addFrame(doc, c, 12, DisposalToBackground);
    }
    doc.loopForever = true;
}

inline void makeSpinner(GifAnimation& doc, int scale = 1) {
    const int side = 96 / scale, frames = 12;
    for (int f = 0; f < frames; ++f) {
        Canvas c(side, side, kClear);
        for (int spoke = 0; spoke < 12; ++spoke) {
            const double a = spoke * 3.14159265358979 / 6, fade = ((spoke - f + 12) % 12) / 12.0;
            const int g = int(60 + 170 * fade);
            c.line(side / 2 + std::cos(a) * side * 0.22, side / 2 + std::sin(a) * side * 0.22,
                   side / 2 + std::cos(a) * side * 0.42, side / 2 + std::sin(a) * side * 0.42, side / 32.0,
                   rgb(g, g, g));
        }
        addFrame(doc, c, 8, DisposalToBackground);
    }
    doc.loopForever = true;
}

inline void makeChart(GifAnimation& doc, int scale = 1) {
    const int w = 480 / scale, h = 300 / scale, frames = 40 / scale;
    for (int f = 0; f < frames; ++f) {
        Canvas c(w, h, rgb(255, 255, 255));
        for (int gx = 40; gx < w; gx += 40) c.rect(gx, 10, 1, h - 40, rgb(220, 220, 220));
        for (int gy = 10; gy < h - 30; gy += 30) c.rect(40, gy, w - 50, 1, rgb(220, 220, 220));
        c.rect(40, h - 30, w - 50, 2, rgb(0, 0, 0));
        c.rect(40, 10, 2, h - 40, rgb(0, 0, 0));
        double px = 40, py = h / 2.0;
        for (int i = 1; i <= f; ++i) {
            const double x = 40 + i * double(w - 60) / frames,
                         y = h / 2.0 - 50.0 / scale * std::sin(i / 5.0) - i;
            c.line(px, py, x, y, 1.5, rgb(30, 100, 200));
            px = x;
            py = y;
        }
        c.disc(px, py, 4, rgb(230, 80, 30));
        addFrame(doc, c, 10);
    }
    doc.loopCount = 1;
}

inline void makeTicker(GifAnimation& doc, int scale = 1) {
    const int w = 468 / scale, h = 60 / scale, frames = 60 / scale;
    for (int f = 0; f < frames; ++f) {
        Canvas c(w, h, rgb(20, 20, 60));
        for (int i = 0; i < 30; ++i)
            glyph(c, w - f * 8 + i * 18, h / 4, "BREAKING: GIFS GET SMALLER "[i % 27], 2, rgb(255, 220, 0));
        c.rect(0, 0, 70 / scale, h, rgb(200, 0, 0));
        addFrame(doc, c, 5);
    }
    doc.loopForever = true;
}

}  // namespace animations
