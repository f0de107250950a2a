#pragma once
// NeuQuant: a one-dimensional Kohonen map of 256 neurons trained on a sample of a true-colour
// picture, then sorted on its second channel so that nearest-colour searches stop early.
//
// Everything is 32-bit signed integer arithmetic with truncating division and arithmetic shifts,
// so a palette and every mapped index can be matched bit for bit by another implementation.
#include <cstdint>

class ColorQuantizer {
public:
    static constexpr int kNetworkSize = 256;
    static constexpr int kMaxRadius = 32;  // radius >> 6 at the start; it only shrinks
    // Below this many bytes (503 pixels) every pixel is learnt from, in order.
    static constexpr int32_t kMinPictureBytes = 3 * 503;

    struct Neuron {
        int32_t channel[3];
        int32_t colorNumber;  // palette index, fixed before the network is sorted
    };

    // Borrows `picture` (channel 0, 1, 2 per pixel) until process() returns; it is not copied
    // because the picture can be large and learning reads only a small sample of it.
    // A negative length counts as 0; a sampling factor below 1 counts as 1.
    ColorQuantizer(const uint8_t* picture, int32_t length, int32_t samplingFactor);

    // learn, unbiasNetwork, buildIndex, colorMap: 768 bytes, channel 0, 1, 2 per palette entry.
    void process(uint8_t colorMapOut[3 * kNetworkSize]);

    // Palette index nearest to the colour (sum of channel differences); valid after process().
    int mapColor(uint8_t c0, uint8_t c1, uint8_t c2) const;

private:
    // What learn() will do for a picture of `length` bytes; the step is in bytes.
    struct SamplingPlan {
        int32_t samplingFactor;
        int32_t alphaDecrement;
        int32_t samples;
        int32_t delta;  // parameters shrink after every delta samples (never 0)
        int32_t step;
    };
    static SamplingPlan planSampling(int32_t length, int32_t samplingFactor);

    // The steps of process().
    void learn();
    int contest(int32_t c0, int32_t c1, int32_t c2);
    void alterSingle(int32_t alpha, int i, int32_t c0, int32_t c1, int32_t c2);
    void alterNeighbours(int rad, int i, int32_t c0, int32_t c1, int32_t c2);
    void fillRadiusPowers(int32_t alpha, int rad);
    void unbiasNetwork();
    void buildIndex();
    void colorMap(uint8_t colorMapOut[3 * kNetworkSize]) const;

    uint8_t pictureByte(int64_t position) const;

    const uint8_t* picture_;
    int32_t length_;
    int32_t samplingFactor_;
    Neuron network_[kNetworkSize];
    int index_[kNetworkSize] = {};
    int32_t bias_[kNetworkSize];
    int32_t frequency_[kNetworkSize];
    int32_t radiusPower_[kMaxRadius] = {};
};
