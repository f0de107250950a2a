// The palette grid of "Edit Palette": geometry, hit test, painting and the entry description.
#include <iomanip>
#include <sstream>

#include "ui/paletteeditor.h"

namespace {

constexpr int kCellOrigin = 15;
constexpr int kCellPitch = 16;
constexpr int kCellSize = 14;
constexpr int kColumns = 16;
// The last pixel offset inside a pitch that still counts as the cell: the pointer lands on the
// cell's right or bottom neighbour pixel before it is in the gap.
constexpr int kCellHitSpan = 14;
constexpr COLORREF kSelectionColor = RGB(255, 0, 0);
constexpr int kSelectionPenWidth = 2;

}  // namespace

RECT paletteCellRect(uint32_t index) {
    const int column = int(index % kColumns);
    const int row = int(index / kColumns);
    const int left = kCellOrigin + kCellPitch * column;
    const int top = kCellOrigin + kCellPitch * row;
    return RECT{left, top, left + kCellSize, top + kCellSize};
}

RECT paletteCellRedrawArea(uint32_t index) {
    RECT area = paletteCellRect(index);
    InflateRect(&area, 2, 2);
    return area;
}

int paletteCellAt(int x, int y) {
    RECT hitArea = kPaletteGridFrame;
    InflateRect(&hitArea, -5, -5);
    const POINT point = {x, y};
    if (!PtInRect(&hitArea, point)) return -1;
    const int dx = x - kCellOrigin;
    const int dy = y - kCellOrigin;
    const int column = dx / kCellPitch;
    const int row = dy / kCellPitch;
    if (dx - kCellPitch * column > kCellHitSpan || dy - kCellPitch * row > kCellHitSpan) return -1;
    return kColumns * row + column;
}

void paintPaletteGrid(HDC dc, const PaletteEditModel* model, uint32_t selected) {
    RECT frame = kPaletteGridFrame;
    DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    if (!model) return;
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const uint32_t cells = model->size() < kPaletteGridCells ? model->size() : kPaletteGridCells;
    for (uint32_t i = 0; i < cells; ++i) {
        const PaletteEditEntry& entry = model->editEntries[i];
        RECT cell = paletteCellRect(i);
        HBRUSH brush = CreateSolidBrush(entry.color.toColorRef());
        FillRect(dc, &cell, brush);
        DeleteObject(brush);
        if (entry.useCount == 0) {
            // No pixel shows this entry: cross it out.
            DrawEdge(dc, &cell, BDR_SUNKENOUTER, BF_DIAGONAL_ENDBOTTOMLEFT);
            DrawEdge(dc, &cell, BDR_SUNKENOUTER, BF_DIAGONAL_ENDBOTTOMRIGHT);
        }
        DrawEdge(dc, &cell, BDR_SUNKENOUTER, BF_RECT);
    }
    if (selected < cells) {
        HPEN pen = CreatePen(PS_SOLID, kSelectionPenWidth, kSelectionColor);
        SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        const RECT cell = paletteCellRect(selected);
        Rectangle(dc, cell.left, cell.top, cell.right, cell.bottom);
        SelectObject(dc, oldBrush);
        SelectObject(dc, GetStockObject(NULL_PEN));
        DeleteObject(pen);
    }
    SelectObject(dc, oldPen);
}

std::string describePaletteEntry(const PaletteEditEntry& entry, uint32_t index) {
    std::ostringstream text;
    text << "Index:" << index << "  R:" << unsigned(entry.color.red) << "  G:" << unsigned(entry.color.green)
         << "  B:" << unsigned(entry.color.blue);
    text << "  HTML:#" << std::uppercase << std::hex << std::setfill('0') << std::setw(2)
         << unsigned(entry.color.red) << std::setw(2) << unsigned(entry.color.green) << std::setw(2)
         << unsigned(entry.color.blue) << std::dec << std::nouppercase << std::setfill(' ');
    // Small shares keep one significant digit (0.04%), larger ones three (12.3%).
    text.precision(entry.usePercent <= 1.0f ? 1 : 3);
    text << "  " << entry.usePercent << "%";
    if (entry.useCount == 0) text << " - not used";
    return text.str();
}
