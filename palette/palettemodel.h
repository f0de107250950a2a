#pragma once
// The palette editor's working copy of one frame's local colour table. Every entry remembers
// which of the frame's original colour indices it stands for, so any sequence of moves, sorts,
// merges and recolourings ends in one remap table that passes each pixel through exactly once.
// The model never touches the frame until applyToFrame.
#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

#include "gif/document.h"

// A GIF colour table, and so the editor, holds at most this many entries.
constexpr uint32_t kMaxPaletteEntries = 256;

// The frame's original colour indices an entry takes over; iterate 0..255 for ascending order.
using PaletteSourceSet = std::bitset<256>;

struct PaletteEditEntry {
    PaletteSourceSet sources;  // original indices whose pixels take this entry
    RgbColor color;            // black for a new entry
    uint32_t sortKey = 0;      // scratch, filled by sortEntries
    uint32_t useCount = 0;     // pixels counted for the sources (merges add the absorbed counts)
    float usePercent = 0.0f;   // useCount as a percentage of all counted pixels
};

// Keys of sortEntries, in the order the Sort palette entries dialog lists them.
enum PaletteSortKey : uint32_t {
    PaletteSortUsage = 0,          // "Usage", most used first
    PaletteSortSumAscending = 1,   // "+ ( R + G + B)"
    PaletteSortSumDescending = 2,  // "- ( R + G + B)"
    PaletteSortRedAscending = 3,   // "+ R"
    PaletteSortRedDescending = 4,  // "- R"
    PaletteSortGreenAscending = 5,
    PaletteSortGreenDescending = 6,
    PaletteSortBlueAscending = 7,
    PaletteSortBlueDescending = 8,
    PaletteSortKeyCount = 9,
};

// The dialog texts of the sort keys, indexed by PaletteSortKey.
extern const char* const kPaletteSortKeyTexts[PaletteSortKeyCount];

// Source index -> new index, for every possible pixel value.
using PaletteRemapTable = std::array<uint8_t, 256>;

class PaletteEditModel {
public:
    // Position p is the entry's colour index once the model is applied.
    std::vector<PaletteEditEntry> editEntries;

    uint32_t size() const { return uint32_t(editEntries.size()); }

    // Replaces the model by one entry per colour of the table (at most 256), each the sole
    // holder of its own index, with the counts from table.useCounts (missing counts are 0).
    void loadFromTable(const ColorTable& table);

    // All 256 values start at 0; a source held by two entries maps to the later one.
    PaletteRemapTable buildRemapTable() const;

    // Each operation returns false, changing nothing, when its arguments are out of range.

    // A black entry with no sources; refused at kMaxPaletteEntries.
    bool appendEntry();
    bool setColor(uint32_t position, RgbColor color);
    // Exchanges the two whole entries (sources, colour, counts).
    bool swapEntries(uint32_t a, uint32_t b);
    // Hands entry k's sources and count to the nearest other entry (lowest position on ties),
    // then erases it. Needs at least 2 entries.
    bool removeEntry(uint32_t k);
    // Merges entries n.. into the nearest of entries 0..n-1, then drops them; 1 <= n < size().
    bool reduceTo(uint32_t n);
    // Appends black entries until there are n (n <= kMaxPaletteEntries; a smaller n is a no-op).
    bool growTo(uint32_t n);
    // Drops, with their sources, the entries whose useCount is 0.
    void deleteUnused();
    // Keeps the first entry of each colour, in order; later equal colours merge into it.
    void deleteDuplicates();
    // Paints positions start..end from `from` to `to`, appending black entries up to end.
    // end must be at most 255; start > end exchanges the two ends together with their colours.
    bool applyGradient(uint32_t start, uint32_t end, RgbColor from, RgbColor to);
    // Fills sortKey and orders the entries by it; equal keys keep their relative order.
    bool sortEntries(uint32_t key);

    // Remaps every pixel of the frame once, gives the bitmap a palette of the entries' colours
    // (Flags = PaletteFlagsHasAlpha, all opaque) and rewrites localTable.entries.
    // transparentIndex, useCounts and every other field stay as they are.
    void applyToFrame(GifFrame& frame) const;

private:
    // Entry nearest in RGB to `color` among positions [first, last) other than `skip`;
    // the lowest position wins a tie. The range must hold a candidate.
    uint32_t nearestEntry(RgbColor color, uint32_t first, uint32_t last, uint32_t skip) const;
    // Moves entry `from`'s sources and count into entry `into` (the caller erases `from`).
    void absorb(uint32_t into, uint32_t from);
    void recomputePercentages();
};
