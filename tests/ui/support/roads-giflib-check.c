/* Reads each GIF the roads test saved with giflib and compares it with the "<name>.expect" file
 * beside it: looping, frame count, each frame's place, delay and the colour of every pixel through
 * the frame's (or the global) colour map. One line per file; non-zero exit on any difference or
 * missing file. The process ends right after, so a failed check leaves its handles open. */
#include <gif_lib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define FAIL(...) return (printf(__VA_ARGS__), 1)

static int loopCountOf(const GifFileType* gif) {
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage* image = &gif->SavedImages[i];
        for (int e = 0; e + 1 < image->ExtensionBlockCount; ++e) {
            const ExtensionBlock *block = &image->ExtensionBlocks[e], *data = block + 1;
            if (block->Function == APPLICATION_EXT_FUNC_CODE && block->ByteCount == 11 &&
                memcmp(block->Bytes, "NETSCAPE2.0", 11) == 0 && data->ByteCount >= 3 && data->Bytes[0] == 1)
                return data->Bytes[1] | data->Bytes[2] << 8;
        }
    }
    return -1;
}

static int check(const char* folder, const char* name) {
    char path[4096];
    int error = 0, loop = 0, frames = 0;
    snprintf(path, sizeof path, "%s/%s.expect", folder, name);
    FILE* expect = fopen(path, "r");
    snprintf(path, sizeof path, "%s/%s.gif", folder, name);
    GifFileType* gif = expect ? DGifOpenFileName(path, &error) : NULL;
    if (!expect) FAIL("%s: no expectation (the roads test did not finish this road)\n", name);
    if (!gif || DGifSlurp(gif) != GIF_OK)
        FAIL("%s: giflib cannot read it (%s)\n", name, GifErrorString(gif ? gif->Error : error));
    if (fscanf(expect, " loop %d frames %d", &loop, &frames) != 2) FAIL("%s: bad expectation\n", name);
    if (loopCountOf(gif) != loop) FAIL("%s: loop %d, want %d\n", name, loopCountOf(gif), loop);
    if (gif->ImageCount != frames) FAIL("%s: %d frames, want %d\n", name, gif->ImageCount, frames);
    for (int i = 0; i < frames; ++i) {
        int left, top, width, height, delay, tolerance;
        if (fscanf(expect, " frame %d %d %d %d %d %d", &left, &top, &width, &height, &delay, &tolerance) != 6)
            FAIL("%s: bad expectation of frame %d\n", name, i);
        const SavedImage* image = &gif->SavedImages[i];
        const GifImageDesc* d = &image->ImageDesc;
        GraphicsControlBlock control = {0, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif, i, &control);
        if (d->Left != left || d->Top != top || d->Width != width || d->Height != height ||
            control.DelayTime != delay)
            FAIL("%s frame %d: %d,%d %dx%d delay %d; want %d,%d %dx%d delay %d\n", name, i, d->Left, d->Top,
                 d->Width, d->Height, control.DelayTime, left, top, width, height, delay);
        const ColorMapObject* map = d->ColorMap ? d->ColorMap : gif->SColorMap;
        for (int p = 0; p < width * height; ++p) {
            unsigned want = 0;
            const int index = image->RasterBits[p];
            if (fscanf(expect, " %x", &want) != 1) FAIL("%s: bad expectation of frame %d\n", name, i);
            if (!map || index >= map->ColorCount)
                FAIL("%s frame %d pixel %d: index %d outside\n", name, i, p, index);
            const GifColorType c = map->Colors[index];
            if (abs(c.Red - (int)(want >> 16 & 255)) > tolerance ||
                abs(c.Green - (int)(want >> 8 & 255)) > tolerance ||
                abs(c.Blue - (int)(want & 255)) > tolerance)
                FAIL("%s frame %d pixel %d: %02X%02X%02X, want %06X\n", name, i, p, c.Red, c.Green, c.Blue,
                     want);
        }
    }
    printf("%s: giflib reads %d frames as expected\n", name, frames);
    DGifCloseFile(gif, &error);
    fclose(expect);
    return 0;
}

int main(int argc, char** argv) {  // folder name...
    int failed = argc < 3;
    for (int i = 2; i < argc; ++i) failed |= check(argv[1], argv[i]);
    return failed;
}
