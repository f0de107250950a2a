// The optimiser against gifsicle -O3 and ImageMagick's -layers Optimize on animations of the
// kinds people share (bench/animations.h, the photographs scripts/bench.sh prepares, and two
// animations ImageMagick itself makes). Per file: the sizes of the three results, our size over
// gifsicle's, and the CPU time of read + optimise + write against gifsicle's (a child process,
// timed by wait4). Checks that each of our results composes frame for frame as its input.
// Goal: total at most 0.95 of gifsicle's, no file more than 1 % above it, at most twice its time.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/animations.h"
#include "gif/composer.h"
#include "gif/optimizer.h"

extern char** environ;

namespace {

const char* const kConvert = "/usr/bin/convert";  // /usr/local/bin/convert may be another program
constexpr int kRuns = 3;

double cpuNow() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

long fileSize(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0 ? long(s.st_size) : -1;
}

// Runs the program and returns its CPU time (user and system), or -1 when it failed.
double runTimed(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Ours as the command line does it: read, optimise, write.
double optimizeTimed(const std::string& in, const std::string& out, bool& same) {
    const double start = cpuNow();
    GifAnimation doc, optimized;
    if (doc.readFile(in.c_str()) != ReadOk) return -1;
    velmora::optimizeAnimation(doc, optimized);
    if (!optimized.writeFile(out.c_str())) return -1;
    const double seconds = cpuNow() - start;
    same = velmora::composeFrames(doc) == velmora::composeFrames(optimized);
    return seconds;
}

struct Row {
    std::string name;
    size_t frames = 0;
    long input = 0, ours = 0, gifsicle = 0, magick = 0;
    double oursTime = 1e9, gifsicleTime = 1e9;
    bool same = false;
    bool magickSame = false;  // ImageMagick may quantise again: then its size is not a lossless one
};

}  // namespace

int main() {
    const char* base = std::getenv("VELMORA_BENCH_DIR");
    const std::string dir = std::string(base ? base : "/tmp") + "/optimize-bench";
    mkdir(dir.c_str(), 0755);

    // The first photograph scripts/bench.sh prepares, else a generated scene.
    RgbPicture photo;
    const char* photos = std::getenv("VELMORA_BENCH_PHOTOS");
    const std::string first = photos ? std::string(photos).substr(0, std::string(photos).find(':')) : "";
    const bool realPhoto = !first.empty() && readPpmFile(first.c_str(), photo).empty();
    if (!realPhoto) photo = animations::syntheticPhoto(1920, 1080);

    const std::pair<std::string, std::function<void(GifAnimation&)>> generated[] = {
        {"screen", [](GifAnimation& d) { animations::makeScreen(d); }},
        {"video", [&](GifAnimation& d) { animations::makeVideo(d, photo); }},
        {"cinemagraph", [&](GifAnimation& d) { animations::makeCinemagraph(d, photo); }},
        {"clip", [&](GifAnimation& d) { animations::makeClip(d, photo); }},
        {"cartoon", [](GifAnimation& d) { animations::makeCartoon(d); }},
        {"sprite", [](GifAnimation& d) { animations::makeSprite(d); }},
        {"spinner", [](GifAnimation& d) { animations::makeSpinner(d); }},
        {"chart", [](GifAnimation& d) { animations::makeChart(d); }},
        {"ticker", [](GifAnimation& d) { animations::makeTicker(d); }},
    };
    std::vector<std::string> names;
    for (const auto& [name, make] : generated) {
        GifAnimation doc;
        make(doc);
        const std::string path = dir + "/" + name + ".gif";
        if (!doc.writeFile(path.c_str())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        names.push_back(name);
    }
    // Made by ImageMagick as people make them: a morph between its built-in pictures, and a
    // zoom into the photograph, both reduced with ImageMagick's dithering frame by frame.
    const std::string ppm = dir + "/zoom-source.ppm";
    writePpmFile(ppm.c_str(), photo);
    const std::string made[][2] = {
        {"im-morph", std::string(kConvert) +
                         " rose: -resize 240x160! logo: -resize 240x160! -morph 14 "
                         "-set delay 6 -loop 0 " +
                         dir + "/im-morph.gif"},
        {"im-zoom",
         std::string(kConvert) + " " + ppm +
             " -resize 480x270! ( -clone 0 -distort SRT 1.04,0 ) "
             "( -clone 0 -distort SRT 1.08,0 ) ( -clone 0 -distort SRT 1.12,0 ) ( -clone 0 -distort SRT "
             "1.16,0 ) ( -clone 0 -distort SRT 1.20,0 ) -set delay 10 -loop 0 " +
             dir + "/im-zoom.gif"},
    };
    for (const auto& m : made) {
        std::string command = m[1];
        for (size_t at = 0; (at = command.find_first_of("()", at)) != std::string::npos; at += 2)
            command.insert(at, "\\");
        if (std::system(command.c_str()) == 0)
            names.push_back(m[0]);
        else
            std::fprintf(stderr, "ImageMagick could not make %s; left out\n", m[0].c_str());
    }

    std::vector<Row> rows;
    for (const std::string& name : names) {
        Row row;
        row.name = name;
        const std::string in = dir + "/" + name + ".gif", ours = dir + "/" + name + ".ours.gif",
                          theirs = dir + "/" + name + ".gifsicle.gif",
                          magick = dir + "/" + name + ".magick.gif";
        GifAnimation doc;
        doc.readFile(in.c_str());
        row.frames = doc.frames.size();
        const std::string rewritten = dir + "/" + name + ".rewritten.gif";
        doc.writeFile(rewritten.c_str());
        row.input = fileSize(rewritten);
        for (int run = 0; run < kRuns; ++run) {
            row.oursTime = std::min(row.oursTime, optimizeTimed(in, ours, row.same));
            row.gifsicleTime =
                std::min(row.gifsicleTime, runTimed({"/usr/bin/gifsicle", "-O3", in, "-o", theirs}));
        }
        runTimed({kConvert, in, "-layers", "Optimize", magick});
        GifAnimation magickDoc;
        row.magickSame = magickDoc.readFile(magick.c_str()) == ReadOk &&
                         velmora::composeFrames(doc) == velmora::composeFrames(magickDoc);
        row.ours = fileSize(ours);
        row.gifsicle = fileSize(theirs);
        row.magick = fileSize(magick);
        rows.push_back(row);
    }

    std::printf("optimize: photograph %s\n", realPhoto ? first.c_str() : "generated");
    std::printf("%-12s %6s %9s %9s %9s %9s %7s %8s %8s %6s %4s %s\n", "file", "frames", "input", "ours",
                "gifsicle", "magick", "size", "ours ms", "gs ms", "time", "same", "magick lossless");
    long total[4] = {};
    double time[2] = {};
    double worst = 0;
    bool allSame = true;
    for (const Row& r : rows) {
        const double ratio = double(r.ours) / double(r.gifsicle);
        worst = std::max(worst, ratio);
        allSame = allSame && r.same;
        total[0] += r.input;
        total[1] += r.ours;
        total[2] += r.gifsicle;
        total[3] += r.magick;
        time[0] += r.oursTime;
        time[1] += r.gifsicleTime;
        std::printf("%-12s %6zu %9ld %9ld %9ld %9ld %7.3f %8.1f %8.1f %6.2f %4s %s\n", r.name.c_str(),
                    r.frames, r.input, r.ours, r.gifsicle, r.magick, ratio, r.oursTime * 1e3,
                    r.gifsicleTime * 1e3, r.oursTime / r.gifsicleTime, r.same ? "yes" : "NO",
                    r.magickSame ? "yes" : "no");
    }
    const double sizeRatio = double(total[1]) / double(total[2]), timeRatio = time[0] / time[1];
    std::printf("%-12s %6s %9ld %9ld %9ld %9ld %7.3f %8.1f %8.1f %6.2f %s\n", "total", "", total[0], total[1],
                total[2], total[3], sizeRatio, time[0] * 1e3, time[1] * 1e3, timeRatio,
                allSame ? "yes" : "NO");
    long magickLossless[2] = {};  // ours and ImageMagick's, on the files ImageMagick kept lossless
    for (const Row& r : rows) {
        if (!r.magickSame) continue;
        magickLossless[0] += r.ours;
        magickLossless[1] += r.magick;
    }
    std::printf(
        "ours / ImageMagick: %.3f, on the files it kept lossless %.3f; worst file against gifsicle: %.3f\n",
        double(total[1]) / double(total[3]), double(magickLossless[0]) / double(magickLossless[1]), worst);
    const bool met = sizeRatio <= 0.95 && worst <= 1.01 && timeRatio <= 2.0 && allSame;
    std::printf("goal (total <= 0.95, every file <= 1.01, time <= 2, same pictures): %s\n",
                met ? "met" : "NOT met");
    return allSame ? 0 : 1;
}
