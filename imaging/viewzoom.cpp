#include "imaging/viewzoom.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kSteps[] = {25, 33, 50, 67, 100, 150, 200, 300, 400, 600, 800};

// Division rounding toward minus infinity: positions left of the screen keep the same rule.
long long floorDiv(long long a, long long b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

long long zoomed(int picture, int percent) {
    return floorDiv(static_cast<long long>(picture) * percent, 100);
}

}  // namespace

int nextZoom(int percent) {
    const int* step = std::upper_bound(std::begin(kSteps), std::end(kSteps), percent);
    return step == std::end(kSteps) ? kMaxZoom : *step;
}

int previousZoom(int percent) {
    const int* step = std::lower_bound(std::begin(kSteps), std::end(kSteps), percent);
    return step == std::begin(kSteps) ? kMinZoom : *(step - 1);
}

int fitZoom(int screenWidth, int screenHeight, int viewWidth, int viewHeight) {
    const long long across = static_cast<long long>(std::max(0, viewWidth)) * 100 / std::max(1, screenWidth);
    const long long down = static_cast<long long>(std::max(0, viewHeight)) * 100 / std::max(1, screenHeight);
    return int(std::clamp<long long>(std::min(across, down), kMinZoom, kMaxZoom));
}

int toView(int picture, int scroll, int percent) {
    return int(zoomed(picture, percent) - zoomed(scroll, percent));
}

// The last picture pixel whose left edge lies at or before the view pixel.
int toPicture(int view, int scroll, int percent) {
    const long long zoomedView = view + zoomed(scroll, percent);
    return int(floorDiv((zoomedView + 1) * 100 - 1, percent));
}

int pictureSpan(int viewSide, int percent) {
    return int(static_cast<long long>(std::max(0, viewSide)) * 100 / percent);
}
