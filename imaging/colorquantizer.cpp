#include "imaging/colorquantizer.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Step choices: a prime number of pixels that does not divide the picture, so that the sample
// walks through the whole picture before it repeats.
constexpr int32_t kPrime1 = 499;
constexpr int32_t kPrime2 = 491;
constexpr int32_t kPrime3 = 487;
constexpr int32_t kPrime4 = 503;

constexpr int kCycles = 100;
constexpr int kNetBiasShift = 4;  // colours are held x16 while learning
constexpr int kIntBiasShift = 16;
constexpr int32_t kIntBias = 1 << kIntBiasShift;
constexpr int kGammaShift = 10;
constexpr int kBetaShift = 10;
constexpr int32_t kBeta = kIntBias >> kBetaShift;                       // 64
constexpr int32_t kBetaGamma = kIntBias << (kGammaShift - kBetaShift);  // 65536
constexpr int kRadiusBiasShift = 6;
constexpr int32_t kInitialRadius = ColorQuantizer::kMaxRadius << kRadiusBiasShift;  // 2048
constexpr int32_t kRadiusDecrement = 30;
constexpr int kAlphaBiasShift = 10;
constexpr int32_t kInitialAlpha = 1 << kAlphaBiasShift;  // 1024
constexpr int kRadBiasShift = 8;
constexpr int32_t kRadBias = 1 << kRadBiasShift;                           // 256
constexpr int32_t kAlphaRadBias = 1 << (kAlphaBiasShift + kRadBiasShift);  // 262144
constexpr int32_t kSearchStartDistance = 1000;

static_assert(kInitialRadius == 2048, "the neighbourhood starts 32 neurons wide");
static_assert(ColorQuantizer::kMinPictureBytes == 3 * kPrime4, "small pictures are learnt whole");

// With every value in range these products fit in 32 bits; 64 bits only keeps a caller passing
// out-of-range arguments to the public steps away from overflow, and gives the same quotients.
inline int32_t scaledStep(int64_t rate, int32_t difference, int32_t divisor) {
    return int32_t(rate * difference / divisor);
}

int shrunkRadius(int32_t radius) {
    int rad = radius >> kRadiusBiasShift;
    return rad <= 1 ? 0 : rad;
}

}  // namespace

ColorQuantizer::SamplingPlan ColorQuantizer::planSampling(int32_t length, int32_t samplingFactor) {
    if (length < 0) length = 0;
    SamplingPlan plan;
    plan.samplingFactor = samplingFactor < 1 || length < kMinPictureBytes ? 1 : samplingFactor;
    plan.alphaDecrement = 30 + (plan.samplingFactor - 1) / 3;
    plan.samples = int32_t(int64_t(length) / (3 * int64_t(plan.samplingFactor)));
    plan.delta = plan.samples / kCycles;
    if (plan.delta == 0) plan.delta = 1;
    if (length < kMinPictureBytes)
        plan.step = 3;
    else if (length % kPrime1 != 0)
        plan.step = 3 * kPrime1;
    else if (length % kPrime2 != 0)
        plan.step = 3 * kPrime2;
    else if (length % kPrime3 != 0)
        plan.step = 3 * kPrime3;
    else
        plan.step = 3 * kPrime4;
    return plan;
}

ColorQuantizer::ColorQuantizer(const uint8_t* picture, int32_t length, int32_t samplingFactor)
    : picture_(picture), length_(picture && length > 0 ? length : 0), samplingFactor_(samplingFactor) {
    for (int i = 0; i < kNetworkSize; ++i) {
        const int32_t start = (i << (kNetBiasShift + 8)) / kNetworkSize;
        network_[i] = Neuron{{start, start, start}, i};
        frequency_[i] = kIntBias / kNetworkSize;
        bias_[i] = 0;
    }
}

void ColorQuantizer::process(uint8_t colorMapOut[3 * kNetworkSize]) {
    learn();
    unbiasNetwork();
    buildIndex();
    colorMap(colorMapOut);
}

uint8_t ColorQuantizer::pictureByte(int64_t position) const {
    // A length that is not a whole number of pixels reads its missing bytes as 0.
    return position < length_ ? picture_[position] : 0;
}

void ColorQuantizer::learn() {
    const SamplingPlan plan = planSampling(length_, samplingFactor_);
    int32_t alpha = kInitialAlpha;
    int32_t radius = kInitialRadius;
    int rad = shrunkRadius(radius);
    fillRadiusPowers(alpha, rad);

    int64_t position = 0;
    for (int32_t i = 1; i <= plan.samples; ++i) {
        const int32_t c0 = int32_t(pictureByte(position)) << kNetBiasShift;
        const int32_t c1 = int32_t(pictureByte(position + 1)) << kNetBiasShift;
        const int32_t c2 = int32_t(pictureByte(position + 2)) << kNetBiasShift;
        const int winner = contest(c0, c1, c2);
        alterSingle(alpha, winner, c0, c1, c2);
        if (rad != 0) alterNeighbours(rad, winner, c0, c1, c2);

        position += plan.step;
        if (position >= length_) position -= length_;

        if (i % plan.delta == 0) {
            alpha -= alpha / plan.alphaDecrement;
            radius -= radius / kRadiusDecrement;
            rad = shrunkRadius(radius);
            fillRadiusPowers(alpha, rad);
        }
    }
}

void ColorQuantizer::fillRadiusPowers(int32_t alpha, int rad) {
    rad = std::clamp(rad, 0, kMaxRadius);
    const int32_t radSquared = rad * rad;
    for (int i = 0; i < rad; ++i)
        radiusPower_[i] = int32_t(int64_t(alpha) * (((radSquared - i * i) * kRadBias) / radSquared));
}

int ColorQuantizer::contest(int32_t c0, int32_t c1, int32_t c2) {
    int32_t bestDistance = INT32_MAX;
    int32_t bestBiasedDistance = INT32_MAX;
    int bestPosition = -1;
    int bestBiasedPosition = -1;
    for (int i = 0; i < kNetworkSize; ++i) {
        const Neuron& n = network_[i];
        const int32_t distance =
            std::abs(n.channel[0] - c0) + std::abs(n.channel[1] - c1) + std::abs(n.channel[2] - c2);
        if (distance < bestDistance) {
            bestDistance = distance;
            bestPosition = i;
        }
        // Rarely winning neurons carry a positive bias, so they get a chance to learn too.
        const int32_t biasedDistance = distance - (bias_[i] >> (kIntBiasShift - kNetBiasShift));
        if (biasedDistance < bestBiasedDistance) {
            bestBiasedDistance = biasedDistance;
            bestBiasedPosition = i;
        }
        const int32_t betaFrequency = frequency_[i] >> kBetaShift;
        frequency_[i] -= betaFrequency;
        bias_[i] += betaFrequency << kGammaShift;
    }
    if (bestPosition >= 0) {  // always, unless a caller passes colours far outside 0..4080
        frequency_[bestPosition] += kBeta;
        bias_[bestPosition] -= kBetaGamma;
    }
    return bestBiasedPosition;
}

void ColorQuantizer::alterSingle(int32_t alpha, int i, int32_t c0, int32_t c1, int32_t c2) {
    if (i < 0 || i >= kNetworkSize) return;
    int32_t* p = network_[i].channel;
    p[0] -= scaledStep(alpha, p[0] - c0, kInitialAlpha);
    p[1] -= scaledStep(alpha, p[1] - c1, kInitialAlpha);
    p[2] -= scaledStep(alpha, p[2] - c2, kInitialAlpha);
}

void ColorQuantizer::alterNeighbours(int rad, int i, int32_t c0, int32_t c1, int32_t c2) {
    if (i < 0 || i >= kNetworkSize) return;
    rad = std::clamp(rad, 0, kMaxRadius);
    const int lo = std::max(i - rad, -1);
    const int hi = std::min(i + rad, kNetworkSize);
    int j = i + 1;
    int k = i - 1;
    int m = 1;
    while (j < hi || k > lo) {
        const int32_t a = radiusPower_[m++];
        if (j < hi) {
            int32_t* p = network_[j++].channel;
            p[0] -= scaledStep(a, p[0] - c0, kAlphaRadBias);
            p[1] -= scaledStep(a, p[1] - c1, kAlphaRadBias);
            p[2] -= scaledStep(a, p[2] - c2, kAlphaRadBias);
        }
        if (k > lo) {
            int32_t* p = network_[k--].channel;
            p[0] -= scaledStep(a, p[0] - c0, kAlphaRadBias);
            p[1] -= scaledStep(a, p[1] - c1, kAlphaRadBias);
            p[2] -= scaledStep(a, p[2] - c2, kAlphaRadBias);
        }
    }
}

void ColorQuantizer::unbiasNetwork() {
    for (int i = 0; i < kNetworkSize; ++i) {
        for (int32_t& c : network_[i].channel) c >>= kNetBiasShift;
        network_[i].colorNumber = i;
    }
}

void ColorQuantizer::buildIndex() {
    // Learning keeps every channel a blend of picture values, so channel 1 is 0..255 here; the
    // clamp only keeps a network set up by hand from writing outside the table.
    int previous = 0;
    int start = 0;
    for (int i = 0; i < kNetworkSize; ++i) {
        int smallPosition = i;
        int32_t smallValue = network_[i].channel[1];
        for (int j = i + 1; j < kNetworkSize; ++j) {
            if (network_[j].channel[1] < smallValue) {
                smallPosition = j;
                smallValue = network_[j].channel[1];
            }
        }
        if (smallPosition != i) std::swap(network_[i], network_[smallPosition]);
        const int small = std::clamp<int32_t>(smallValue, 0, kNetworkSize - 1);
        if (small != previous) {
            index_[previous] = (start + i) >> 1;
            for (int v = previous + 1; v < small; ++v) index_[v] = i;
            previous = small;
            start = i;
        }
    }
    index_[previous] = (start + kNetworkSize - 1) >> 1;
    for (int v = previous + 1; v < kNetworkSize; ++v) index_[v] = kNetworkSize - 1;
}

void ColorQuantizer::colorMap(uint8_t colorMapOut[3 * kNetworkSize]) const {
    int positionOf[kNetworkSize] = {};
    for (int i = 0; i < kNetworkSize; ++i) positionOf[network_[i].colorNumber & 0xFF] = i;
    for (int c = 0; c < kNetworkSize; ++c) {
        const Neuron& n = network_[positionOf[c]];
        colorMapOut[3 * c] = uint8_t(n.channel[0]);
        colorMapOut[3 * c + 1] = uint8_t(n.channel[1]);
        colorMapOut[3 * c + 2] = uint8_t(n.channel[2]);
    }
}

int ColorQuantizer::mapColor(uint8_t c0, uint8_t c1, uint8_t c2) const {
    int32_t bestDistance = kSearchStartDistance;
    int best = -1;
    int i = index_[c1];
    int j = i - 1;
    // The network is sorted on channel 1, so each direction stops once the channel-1 gap alone
    // is no better than the best colour found.
    while (i < kNetworkSize || j >= 0) {
        if (i < kNetworkSize) {
            const Neuron& n = network_[i];
            int32_t d = n.channel[1] - c1;
            if (d >= bestDistance) {
                i = kNetworkSize;
            } else {
                ++i;
                d = std::abs(d) + std::abs(n.channel[0] - c0);
                if (d < bestDistance) {
                    d += std::abs(n.channel[2] - c2);
                    if (d < bestDistance) {
                        bestDistance = d;
                        best = n.colorNumber;
                    }
                }
            }
        }
        if (j >= 0) {
            const Neuron& n = network_[j];
            int32_t d = c1 - n.channel[1];
            if (d >= bestDistance) {
                j = -1;
            } else {
                --j;
                d = std::abs(d) + std::abs(n.channel[0] - c0);
                if (d < bestDistance) {
                    d += std::abs(n.channel[2] - c2);
                    if (d < bestDistance) {
                        bestDistance = d;
                        best = n.colorNumber;
                    }
                }
            }
        }
    }
    // Every palette colour lies within 765 of any query, so only an unprocessed network gets here.
    return best < 0 ? 0 : best;
}
