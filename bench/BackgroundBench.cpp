// Composition of the main window's background, which runs whenever the
// drawing surface gets a new size: at the fixed client area (954 x 579) and
// maximised on a full-HD screen (1920 x 1080).
#include "BenchInputs.h"

#include "app/portable/BackgroundComposer.h"

#include <benchmark/benchmark.h>

using app::BackgroundImages;
using app::ComposeBackground;
using ui::Image32;
using ui::kOpaqueWhite;

namespace {

void SetPixelsProcessed(benchmark::State& state, const Image32& surface) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * surface.pixels.size()));
}

// The copies into a surface of that size that already exists.
void ComposeBackgroundInto(benchmark::State& state) {
    const bench::MainWindowBitmaps bitmaps;
    const BackgroundImages images = bitmaps.Images();
    Image32 surface(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                    kOpaqueWhite);
    for (auto _ : state) {
        ComposeBackground(surface, images);
        benchmark::DoNotOptimize(surface.pixels.data());
        benchmark::ClobberMemory();
    }
    SetPixelsProcessed(state, surface);
}
BENCHMARK(ComposeBackgroundInto)->Args({954, 579})->Args({1920, 1080});

// What the resize handler does before handing the pixels to the surface: a
// new white buffer of the surface's size, then the composition.
void ResizeBuffer(benchmark::State& state) {
    const bench::MainWindowBitmaps bitmaps;
    const BackgroundImages images = bitmaps.Images();
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    for (auto _ : state) {
        Image32 surface(width, height, kOpaqueWhite);
        ComposeBackground(surface, images);
        benchmark::DoNotOptimize(surface.pixels.data());
    }
    SetPixelsProcessed(state, Image32(width, height));
}
BENCHMARK(ResizeBuffer)->Args({954, 579})->Args({1920, 1080});

} // namespace
