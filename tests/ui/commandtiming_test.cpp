// How long the two heavy commands keep the window busy under Wine, next to the portable work
// alone measured in the same process: adding a 1920 x 1080 photograph (decode, quantise, map)
// and opening a 300-frame 320 x 240 GIF until the frame list is filled. The figures are printed;
// bench/commands_bench measures the same portable work natively.
#include <windows.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/gdiplusflat.h"
#include "app/globals.h"
#include "imaging/imageimport.h"
#include "imaging/reduction.h"
#include "resource.h"
#include "support/testpaths.h"
#include "ui/support/appdriver.h"
#include "ui/support/uiharness.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

double seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

// Chooses the file and notes the moment the dialog is told OK: what follows is the command's own work.
DialogAnswerer::Answer chooseFileTimed(const std::string& path, double* chosenAt) {
    return [path, chosenAt](HWND dialog) {
        SetDlgItemTextA(dialog, 0x47C, path.c_str());
        *chosenAt = seconds();
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
}

// How long an open dialog takes from its OK to returning the path, with nothing done afterwards:
// the part of a command's time that belongs to the dialog, not to the command.
double dialogClosingTime(DialogAnswerer& answers, const std::string& path) {
    double chosenAt = 0;
    answers.expect("Open", chooseFileTimed(path, &chosenAt));
    char buffer[MAX_PATH] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = g_mainWindow;
    dialog.lpstrFilter = "All\0*.*\0";
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    GetOpenFileNameA(&dialog);
    return seconds() - chosenAt;
}

// The photograph's pixels as GDI+ draws them, for timing the reduction on its own.
std::vector<uint32_t> decodeToArgb(const std::string& path, uint32_t* width, uint32_t* height) {
    std::vector<uint32_t> pixels;
    const std::wstring wide(path.begin(), path.end());
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(wide.c_str(), &bitmap) != Ok) return pixels;
    UINT w = 0, h = 0;
    GdipGetImageWidth(bitmap, &w);
    GdipGetImageHeight(bitmap, &h);
    pixels.resize(size_t(w) * h);
    BitmapData data = {};
    data.Width = w;
    data.Height = h;
    data.Stride = INT(w * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    const GpRect rect(0, 0, INT(w), INT(h));
    GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppARGB, &data);
    GdipBitmapUnlockBits(bitmap, &data);
    GdipDisposeImage(bitmap);
    *width = w;
    *height = h;
    return pixels;
}

// 300 frames of 320 x 240, each a moving diagonal pattern over 64 colours, written by our writer.
std::string write300FrameGif() {
    GifAnimation animation;
    animation.screenWidth = 320;
    animation.screenHeight = 240;
    animation.hasGlobalTable = true;
    for (int i = 0; i < 64; ++i) animation.globalTable.entries.push_back(RgbColor(uint8_t(i * 4), uint8_t(255 - i * 4), uint8_t(i * 2)));
    for (int f = 0; f < 300; ++f) {
        GifFrame frame;
        frame.bitmap = IndexedBitmap::create(320, 240);
        for (uint32_t y = 0; y < 240; ++y)
            for (uint32_t x = 0; x < 320; ++x) frame.bitmap->row(y)[x] = uint8_t(((x + y + uint32_t(f)) / 5) % 64);
        frame.bitmap->setPalette(animation.globalTable.toGdiplusPalette());
        frame.delay = 4;
        animation.frames.push_back(std::move(frame));
    }
    const std::string path = windowsOutputPath("timing-300-frames.gif");
    animation.writeFile(path.c_str());
    return path;
}

TEST(CommandTiming, AddingAPhotograph) {
    AppSession session;
    ASSERT_TRUE(session.started());
    DialogAnswerer answers;
    const std::string path = importImagePath("photo.jpg");

    double chosenAt = 0;
    answers.expect("Open", chooseFileTimed(path, &chosenAt));
    sendMenuCommand(IDM_IMAGE_ADD);
    const double command = seconds() - chosenAt;
    const double dialog = dialogClosingTime(answers, path);
    ASSERT_EQ(g_document.frames.size(), 1u);
    EXPECT_EQ(g_document.frames[0].width(), 1920u);
    EXPECT_EQ(g_document.frames[0].height(), 1080u);
    EXPECT_EQ(g_document.frames[0].localTable.entries.size(), 256u) << "a photograph is quantised";

    uint32_t width = 0, height = 0;
    const double decodeStart = seconds();
    std::vector<uint32_t> pixels = decodeToArgb(path, &width, &height);
    const double decode = seconds() - decodeStart;
    ASSERT_EQ(width, 1920u);
    const double reduceStart = seconds();
    ReducedImage reduced = reduceArgbPicture(pixels.data(), width, height, int32_t(width * 4));
    const double reduce = seconds() - reduceStart;
    ASSERT_TRUE(reduced.quantized);

    // The steps of the import on their own: load, draw into 32 bits, lock.
    {
        const std::wstring wide(path.begin(), path.end());
        GpImage* image = nullptr;
        double t0 = seconds();
        GdipLoadImageFromFile(wide.c_str(), &image);
        double t1 = seconds();
        GpBitmap* canvas = nullptr;
        GdipCreateBitmapFromScan0(1920, 1080, 0, PixelFormat32bppARGB, nullptr, &canvas);
        GpGraphics* graphics = nullptr;
        GdipGetImageGraphicsContext(canvas, &graphics);
        GdipDrawImageRectI(graphics, image, 0, 0, 1920, 1080);
        GdipDeleteGraphics(graphics);
        double t2 = seconds();
        BitmapData locked = {};
        const GpRect rect(0, 0, 1920, 1080);
        GdipBitmapLockBits(canvas, &rect, ImageLockModeRead, PixelFormat32bppARGB, &locked);
        GdipBitmapUnlockBits(canvas, &locked);
        double t3 = seconds();
        GdipDisposeImage(canvas);
        GifAnimation scratch;
        double t4 = seconds();
        importImage(scratch, image, false);
        double t5 = seconds();
        GdipDisposeImage(image);
        SendMessageA(g_frameList, LB_SETCURSEL, WPARAM(-1), 0);
        double t6 = seconds();
        SendMessageA(g_frameList, LB_SETCURSEL, 0, 0);
        double t7 = seconds();
        std::printf("[timing] steps: load %.3f s, draw %.3f s, lock %.3f s, importImage %.3f s, selecting the "
                    "item (draws its thumbnail) %.3f s\n", t1 - t0, t2 - t1, t3 - t2, t5 - t4, t7 - t6);
    }
    std::printf("[timing] add 1920x1080 JPEG: the file dialog's own closing %.3f s; command after it %.3f s\n",
                dialog, command - dialog);
    std::printf("[timing] add 1920x1080 JPEG: command %.3f s; GDI+ decode alone %.3f s; portable reduction alone "
                "%.3f s; command / reduction = %.2f; command / (decode + reduction) = %.2f\n",
                command, decode, reduce, command / reduce, command / (decode + reduce));
    // The command does the decode and the reduction once each, plus a draw of the same size.
    EXPECT_LT(command - dialog, 3.0 * (decode + reduce) + 0.5);
}

TEST(CommandTiming, OpeningA300FrameGif) {
    AppSession session;
    ASSERT_TRUE(session.started());
    DialogAnswerer answers;
    const std::string path = write300FrameGif();

    double chosenAt = 0;
    answers.expect("Open", chooseFileTimed(path, &chosenAt));
    sendMenuCommand(IDM_FILE_OPEN);
    const double command = seconds() - chosenAt;
    const double dialog = dialogClosingTime(answers, path);
    ASSERT_EQ(g_document.frames.size(), 300u);
    ASSERT_EQ(frameListCount(), 300);
    const double paintStart = seconds();
    UpdateWindow(g_frameList);
    const double paint = seconds() - paintStart;

    double check = 0;
    {
        const std::wstring wide(path.begin(), path.end());
        GpImage* image = nullptr;
        double t0 = seconds();
        GdipLoadImageFromFileICM(wide.c_str(), &image);
        GUID dimension = {};
        UINT count = 0;
        GdipImageGetFrameDimensionsList(image, &dimension, 1);
        GdipImageGetFrameCount(image, &dimension, &count);
        GdipDisposeImage(image);
        double t1 = seconds();
        check = t1 - t0;
        double t2 = t1;
        std::printf("[timing] steps: GDI+ check %.3f s (%u frames)\n", t1 - t0, count);
        (void)t2;
    }
    GifAnimation alone;
    const double readStart = seconds();
    ASSERT_EQ(alone.readFile(path.c_str()), ReadOk);
    const double read = seconds() - readStart;
    ASSERT_EQ(alone.frames.size(), 300u);

    std::printf("[timing] open 300 frames: the file dialog's own closing %.3f s; command after it %.3f s\n",
                dialog, command - dialog);
    std::printf("[timing] open 300 x 320x240 GIF: command %.3f s (list filled); first paint of the list %.3f s; "
                "portable readFile alone %.3f s; command / readFile = %.2f\n",
                command, paint, read, command / read);
    // The GDI+ check decodes the file once more; the list is filled without painting per item.
    EXPECT_LT(command - dialog, 3.0 * (check + read) + 0.5);
}

}  // namespace
