#include "BenchInputs.h"

#include "app/portable/PngDecoder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

using app::LoadPngImage;
using ui::Image32;

namespace bench {

namespace {

std::string SourceRoot() {
    const char* fromEnvironment = std::getenv("VESTAR_SOURCE_DIR");
    return fromEnvironment != nullptr ? fromEnvironment : VESTAR_BENCH_SOURCE_DIR;
}

Image32 LoadImage(const char* resource) {
    for (const ImageFile& image : kImageFiles) {
        if (std::string(image.resource) == resource) {
            return LoadPngImage(ImageFileBytes(image), WideName(resource));
        }
    }
    std::fprintf(stderr, "no image %s\n", resource);
    std::exit(2);
}

} // namespace

std::vector<uint8_t> SourceFileBytes(const std::string& relativePath) {
    const std::string path = SourceRoot() + "/" + relativePath;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(2);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> ImageFileBytes(const ImageFile& image) {
    return SourceFileBytes(std::string("resources/images/") + image.file);
}

std::wstring WideName(const char* resource) {
    const std::string narrow(resource);
    return {narrow.begin(), narrow.end()};
}

MainWindowBitmaps::MainWindowBitmaps()
    : bg_(LoadImage("BACKGROUND")), panels_(LoadImage("MAIN")), logo_(LoadImage("LOGO")),
      titlePnlL_(LoadImage("TITLE_PNL_L")), titlePnlR_(LoadImage("TITLE_PNL_R")),
      titlePnlM_(LoadImage("TITLE_PNL_M")), title_(LoadImage("TITLE")) {}

} // namespace bench
