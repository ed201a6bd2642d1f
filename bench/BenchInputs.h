#pragma once
// What the benchmarks work on: the program's seven images as they are
// embedded, decoded as the main window decodes them, and the settings file
// samples under bench/data.
#include "app/portable/BackgroundComposer.h"
#include "ui/portable/Image32.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// One embedded image: its resource name and its file under resources/images.
struct ImageFile {
    const char* resource;
    const char* file;
};

inline constexpr std::array<ImageFile, 7> kImageFiles{{
    {"BACKGROUND", "background.png"},
    {"MAIN", "main.png"},
    {"LOGO", "logo.png"},
    {"TITLE_PNL_L", "title_pnl_l.png"},
    {"TITLE_PNL_R", "title_pnl_r.png"},
    {"TITLE_PNL_M", "title_pnl_m.png"},
    {"TITLE", "title.png"},
}};

// The bytes of a file of the source tree, named relative to its root (the
// tree this was built from, or $VESTAR_SOURCE_DIR). A missing file stops the
// run with a message.
std::vector<uint8_t> SourceFileBytes(const std::string& relativePath);

std::vector<uint8_t> ImageFileBytes(const ImageFile& image);

// The seven bitmaps as the main window holds them after its creation.
class MainWindowBitmaps {
  public:
    MainWindowBitmaps();
    app::BackgroundImages Images() const {
        return {bg_, panels_, logo_, titlePnlL_, titlePnlR_, titlePnlM_, title_};
    }

  private:
    ui::Image32 bg_, panels_, logo_, titlePnlL_, titlePnlR_, titlePnlM_, title_;
};

// The resource name as the decoder's error texts name it.
std::wstring WideName(const char* resource);

} // namespace bench
