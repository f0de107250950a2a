#pragma once
// Zoom of the compose canvas. Zoom is a percentage; the view shows picture pixel p at view
// position floor(p x zoom / 100) minus that of the scroll position, so a scroll by whole picture
// pixels always moves the view by whole view pixels and no pixel is ever split.

constexpr int kMinZoom = 25;
constexpr int kMaxZoom = 800;

// The steps the keys and the wheel go through, smallest first.
int nextZoom(int percent);
int previousZoom(int percent);
// The largest zoom within the limits at which a screen fits in a view; screen sides of 0 count as 1.
int fitZoom(int screenWidth, int screenHeight, int viewWidth, int viewHeight);

// One axis: a picture position to a view position and back, with `scroll` in picture pixels.
// toPicture gives the picture pixel a view pixel shows, also left of or above the view.
int toView(int picture, int scroll, int percent);
int toPicture(int view, int scroll, int percent);
// Whole picture pixels a view side shows completely.
int pictureSpan(int viewSide, int percent);
