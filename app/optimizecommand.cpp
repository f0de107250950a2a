// Animation, Optimize: the same animation in fewer bytes, as one step that Undo takes back, and
// the sizes before and after in the status bar.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <string>

#include "app/application.h"
#include "app/commands.h"
#include "app/waitcursor.h"
#include "gif/optimizer.h"

namespace {

// 218237 -> "218,237"
std::wstring groupedDigits(uint64_t value) {
    std::wstring digits = std::to_wstring(value);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3) digits.insert(size_t(at), L",");
    return digits;
}

// "Optimized: 218,237 → 171,004 bytes (−22 %)"
std::wstring sizeReport(const velmora::OptimizeResult& result) {
    const double change =
        result.bytesBefore
            ? 100.0 * (double(result.bytesAfter) - double(result.bytesBefore)) / double(result.bytesBefore)
            : 0.0;
    const long percent = std::lround(change);
    std::wstring text = L"Optimized: " + groupedDigits(result.bytesBefore) + L" \u2192 " +
                        groupedDigits(result.bytesAfter) + L" bytes (";
    text += (percent < 0 ? L"\u2212" : L"") + std::to_wstring(std::labs(percent)) + L" %)";
    return text;
}

}  // namespace

void commandOptimize(Application& app) {
    GifAnimation optimized;
    velmora::OptimizeResult result;
    {
        WaitCursor wait;
        result = velmora::optimizeAnimation(app.editor.document(), optimized);
    }
    if (result.changed) app.editor.replaceAnimation(optimized, "Optimize");
    SendMessageW(app.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(sizeReport(result).c_str()));
}
