/* Reads each GIF the roads test saved with giflib and compares it with the "<name>.expect" file
 * written beside it: looping, frame count, each frame's place, delay and the colour of every
 * pixel through the frame's (or the global) colour map. Prints one line per file; exits non-zero
 * on the first difference in any file, or when a file is missing. */
#include <gif_lib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int loopCountOf(const GifFileType* gif) {
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage* image = &gif->SavedImages[i];
        for (int e = 0; e + 1 < image->ExtensionBlockCount; ++e) {
            const ExtensionBlock* block = &image->ExtensionBlocks[e];
            if (block->Function == APPLICATION_EXT_FUNC_CODE && block->ByteCount == 11 &&
                memcmp(block->Bytes, "NETSCAPE2.0", 11) == 0) {
                const ExtensionBlock* data = &image->ExtensionBlocks[e + 1];
                if (data->ByteCount >= 3 && data->Bytes[0] == 1) return data->Bytes[1] | data->Bytes[2] << 8;
            }
        }
    }
    return -1;
}

static int check(const char* folder, const char* name) {
    char path[4096];
    snprintf(path, sizeof path, "%s/%s.expect", folder, name);
    FILE* expect = fopen(path, "r");
    if (!expect) { printf("%s: no expectation (the roads test did not finish this road)\n", name); return 1; }
    snprintf(path, sizeof path, "%s/%s.gif", folder, name);
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        printf("%s: giflib cannot read it (%s)\n", name, GifErrorString(gif ? gif->Error : error));
        fclose(expect);
        return 1;
    }
    int loop = 0, frames = 0, failed = 0;
    if (fscanf(expect, " loop %d frames %d", &loop, &frames) != 2) { printf("%s: bad expectation\n", name); failed = 1; }
    if (!failed && loopCountOf(gif) != loop) { printf("%s: loop %d, want %d\n", name, loopCountOf(gif), loop); failed = 1; }
    if (!failed && gif->ImageCount != frames) { printf("%s: %d frames, want %d\n", name, gif->ImageCount, frames); failed = 1; }
    for (int i = 0; !failed && i < frames; ++i) {
        int left, top, width, height, delay, tolerance;
        if (fscanf(expect, " frame %d %d %d %d %d %d", &left, &top, &width, &height, &delay, &tolerance) != 6) { failed = 1; break; }
        const SavedImage* image = &gif->SavedImages[i];
        const GifImageDesc* d = &image->ImageDesc;
        GraphicsControlBlock control = {0, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif, i, &control);
        if (d->Left != left || d->Top != top || d->Width != width || d->Height != height || control.DelayTime != delay) {
            printf("%s frame %d: %d,%d %dx%d delay %d; want %d,%d %dx%d delay %d\n", name, i, d->Left, d->Top, d->Width,
                   d->Height, control.DelayTime, left, top, width, height, delay);
            failed = 1;
            break;
        }
        const ColorMapObject* map = d->ColorMap ? d->ColorMap : gif->SColorMap;
        for (int p = 0; p < width * height; ++p) {
            unsigned want = 0;
            if (fscanf(expect, " %x", &want) != 1) { failed = 1; break; }
            const int index = image->RasterBits[p];
            if (!map || index >= map->ColorCount) { printf("%s frame %d pixel %d: index %d outside the map\n", name, i, p, index); failed = 1; break; }
            const GifColorType c = map->Colors[index];
            const int dr = abs((int)c.Red - (int)(want >> 16 & 255)), dg = abs((int)c.Green - (int)(want >> 8 & 255)),
                      db = abs((int)c.Blue - (int)(want & 255));
            if (dr > tolerance || dg > tolerance || db > tolerance) {
                printf("%s frame %d pixel %d: %02X%02X%02X, want %06X\n", name, i, p, c.Red, c.Green, c.Blue, want);
                failed = 1;
                break;
            }
        }
    }
    if (!failed) printf("%s: giflib reads %d frames as expected\n", name, frames);
    DGifCloseFile(gif, &error);
    fclose(expect);
    return failed;
}

int main(int argc, char** argv) {
    if (argc < 3) { fprintf(stderr, "usage: %s folder name...\n", argv[0]); return 2; }
    int failed = 0;
    for (int i = 2; i < argc; ++i) failed |= check(argv[1], argv[i]);
    return failed;
}
