// Colour reduction against ImageMagick on the same pictures in the same run:
//   ours:   reduceArgbPicture (in process, from the 32-bit picture to the indexed one)
//   peer:   /usr/bin/convert IN.ppm -colors 256 +dither OUT.ppm (the whole process)
// Both are timed as CPU time (user + system, robust on a shared machine) and wall time, each the
// best of a few runs; quality is the PSNR of each result against the original.
//
// usage: quantize_bench [PICTURE.ppm ...]   (a 1920 x 1080 gradient is always generated and added)
// Without arguments the pictures come from VELMORA_BENCH_PHOTOS (paths separated by ':'), which
// scripts/bench.sh sets; generated inputs go to VELMORA_BENCH_DIR (default /tmp).
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/ppm.h"
#include "imaging/reduction.h"

namespace {

constexpr int kRuns = 3;
const char* const kConvert = "/usr/bin/convert";

struct Timing {
    double cpu = 1e30;   // seconds, best run
    double wall = 1e30;  // seconds, best run
    void keepBest(double c, double w) {
        cpu = std::min(cpu, c);
        wall = std::min(wall, w);
    }
};

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double processCpu() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

double seconds(const timeval& t) {
    return t.tv_sec + t.tv_usec * 1e-6;
}

// Runs a program and reports its own CPU time (from wait4) and the wall time around it.
bool runTimed(const std::vector<std::string>& argv, double& cpu, double& wall) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const double start = now();
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return false;
    wall = now() - start;
    cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    double squared = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const double d = double(a[i]) - double(b[i]);
        squared += d * d;
    }
    const double mse = squared / double(a.size());
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

RgbPicture gradient(uint32_t w, uint32_t h) {
    RgbPicture picture;
    picture.width = w;
    picture.height = h;
    picture.rgb.reserve(size_t(w) * h * 3);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            picture.rgb.push_back(uint8_t(x * 255 / (w - 1)));
            picture.rgb.push_back(uint8_t(y * 255 / (h - 1)));
            picture.rgb.push_back(uint8_t((x + y) * 255 / (w + h - 2)));
        }
    return picture;
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool benchOne(const std::string& name, const std::string& path, const std::string& workDir) {
    RgbPicture picture;
    const std::string problem = readPpmFile(path.c_str(), picture);
    if (!problem.empty()) {
        std::fprintf(stderr, "quantize_bench: %s: %s\n", path.c_str(), problem.c_str());
        return false;
    }
    const std::vector<uint8_t> argb = toArgb(picture);

    Timing ours;
    ReducedImage reduced;
    for (int run = 0; run < kRuns; ++run) {
        const double c0 = processCpu(), w0 = now();
        reduced = reduceArgbPicture(argb.data(), picture.width, picture.height, int32_t(picture.width * 4));
        ours.keepBest(processCpu() - c0, now() - w0);
    }
    if (!reduced.bitmap) {
        std::fprintf(stderr, "quantize_bench: %s: reduction refused the picture\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> ourPixels;
    ourPixels.reserve(picture.rgb.size());
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x) {
            const RgbColor c = reduced.colors.entries[reduced.bitmap->at(x, y)];
            ourPixels.insert(ourPixels.end(), {c.red, c.green, c.blue});
        }

    Timing peer;
    const std::string peerOut = workDir + "/" + name + ".imagemagick.ppm";
    for (int run = 0; run < kRuns; ++run) {
        double cpu = 0, wall = 0;
        if (!runTimed({kConvert, path, "-colors", "256", "+dither", peerOut}, cpu, wall)) {
            std::fprintf(stderr, "quantize_bench: %s failed on %s\n", kConvert, path.c_str());
            return false;
        }
        peer.keepBest(cpu, wall);
    }
    RgbPicture peerPicture;
    if (!readPpmFile(peerOut.c_str(), peerPicture).empty()) {
        std::fprintf(stderr, "quantize_bench: cannot read %s\n", peerOut.c_str());
        return false;
    }

    std::printf("%-22s %5ux%-5u %-9s %8.1f %8.1f %7.3f %8.1f %8.1f %7.3f %8.2f %8.2f\n", name.c_str(),
                picture.width, picture.height, reduced.quantized ? "quantised" : "exact", ours.cpu * 1e3,
                peer.cpu * 1e3, ours.cpu / peer.cpu, ours.wall * 1e3, peer.wall * 1e3, ours.wall / peer.wall,
                psnr(picture.rgb, ourPixels), psnr(picture.rgb, peerPicture.rgb));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const char* dir = std::getenv("VELMORA_BENCH_DIR");
    const std::string workDir = dir && *dir ? dir : "/tmp";
    const std::string gradientPath = workDir + "/velmora-gradient-1920x1080.ppm";
    if (!writePpmFile(gradientPath.c_str(), gradient(1920, 1080))) {
        std::fprintf(stderr, "quantize_bench: cannot write %s\n", gradientPath.c_str());
        return 1;
    }

    std::printf(
        "colour reduction: ours (reduceArgbPicture) vs ImageMagick (convert -colors 256 +dither), "
        "best of %d runs\n",
        kRuns);
    std::printf("%-22s %11s %-9s %8s %8s %7s %8s %8s %7s %8s %8s\n", "picture", "size", "path", "cpu ms",
                "IM cpu", "ratio", "wall ms", "IM wall", "ratio", "PSNR dB", "IM PSNR");
    std::vector<std::string> photos(argv + 1, argv + argc);
    const char* listed = std::getenv("VELMORA_BENCH_PHOTOS");
    if (photos.empty() && listed) {
        std::string list = listed;
        for (size_t start = 0; start < list.size();) {
            const size_t end = std::min(list.find(':', start), list.size());
            if (end > start) photos.push_back(list.substr(start, end - start));
            start = end + 1;
        }
    }
    bool ok = benchOne("gradient", gradientPath, workDir);
    for (const std::string& path : photos) {
        std::string name = baseName(path);
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ppm") == 0) name.resize(name.size() - 4);
        ok = benchOne(name, path, workDir) && ok;
    }
    std::printf("ratio = ours / ImageMagick (below 0.333 meets the one-third target)\n");
    return ok ? 0 : 1;
}
