// A fixed amount of one piece of the benchmarked work, for timing the whole
// process from outside (/usr/bin/time -v and the like). Google Benchmark
// chooses its own number of iterations, so the time of its process says
// nothing; this program repeats the work exactly COUNT times:
//
//   vestar_bench_work decode-all COUNT        the seven images, decoded and
//                                              put on white, COUNT times
//   vestar_bench_work compose W H COUNT        the resize handler's buffer:
//                                              a new white W x H buffer and
//                                              the composition, COUNT times
//   vestar_bench_work ini-update COUNT         the sample holter.ini read,
//                                              two options set, written
//
// Each prints a checksum of what it made, so that no work can be left out.
#include "BenchInputs.h"

#include "app/portable/BackgroundComposer.h"
#include "app/portable/PngDecoder.h"
#include "install/portable/IniText.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using app::BackgroundImages;
using app::ComposeBackground;
using app::LoadPngImage;
using install::IniText;
using ui::Image32;
using ui::kOpaqueWhite;

namespace {

long Number(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < 0) {
        std::fprintf(stderr, "not a count: %s\n", text);
        std::exit(2);
    }
    return value;
}

uint64_t DecodeAll(long count) {
    std::vector<std::vector<uint8_t>> files;
    files.reserve(bench::kImageFiles.size());
    for (const bench::ImageFile& image : bench::kImageFiles) {
        files.push_back(bench::ImageFileBytes(image));
    }
    uint64_t sum = 0;
    for (long i = 0; i < count; ++i) {
        for (std::size_t k = 0; k < files.size(); ++k) {
            const Image32 bitmap =
                LoadPngImage(files[k], bench::WideName(bench::kImageFiles[k].resource));
            sum += bitmap.pixels.size() + bitmap.pixels[bitmap.pixels.size() / 2];
        }
    }
    return sum;
}

uint64_t Compose(int width, int height, long count) {
    const bench::MainWindowBitmaps bitmaps;
    const BackgroundImages images = bitmaps.Images();
    uint64_t sum = 0;
    for (long i = 0; i < count; ++i) {
        Image32 surface(width, height, kOpaqueWhite);
        ComposeBackground(surface, images);
        sum += surface.pixels[static_cast<std::size_t>(i) * 7919 % surface.pixels.size()];
    }
    return sum;
}

uint64_t IniUpdate(long count) {
    const std::vector<uint8_t> file = bench::SourceFileBytes("bench/data/holter-ansi.ini");
    const std::string bytes(file.begin(), file.end());
    uint64_t sum = 0;
    for (long i = 0; i < count; ++i) {
        IniText text = IniText::Parse(bytes);
        text.SetInteger(u"options", u"FilterType", i % 256);
        text.SetInteger(u"options", u"HardwareType", 1);
        sum += text.Serialize().size();
    }
    return sum;
}

int Usage() {
    std::fprintf(stderr, "usage: vestar_bench_work decode-all COUNT\n"
                         "       vestar_bench_work compose WIDTH HEIGHT COUNT\n"
                         "       vestar_bench_work ini-update COUNT\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::string work = argc > 1 ? argv[1] : "";
    uint64_t sum = 0;
    if (work == "decode-all" && argc == 3) {
        sum = DecodeAll(Number(argv[2]));
    } else if (work == "compose" && argc == 5) {
        const long width = Number(argv[2]);
        const long height = Number(argv[3]);
        if (width < 1 || height < 1 || width > 16384 || height > 16384) {
            return Usage();
        }
        sum = Compose(static_cast<int>(width), static_cast<int>(height), Number(argv[4]));
    } else if (work == "ini-update" && argc == 3) {
        sum = IniUpdate(Number(argv[2]));
    } else {
        return Usage();
    }
    std::printf("%s checksum %llu\n", work.c_str(), static_cast<unsigned long long>(sum));
    return 0;
}
