#pragma once
// Dialog templates give each label the width its text took in the font they were laid out with.
// Wine's and today's Windows' dialog fonts run wider, and other DPIs round differently, so a
// label would lose the end of its text (or, right-aligned, its start).
#include <windows.h>

// Every label and check box of `dialog` whose text does not fit grows into the free room beside
// it, first on the side away from its alignment, never over another control or past the edge.
void fitLabelsToTheirText(HWND dialog);
