// The settings text (holter.ini) of a workstation after some use, about 360
// lines in twelve sections (bench/data, made by make_holter_ini.py): read
// from its bytes, written back, and the installer's update of its options.
#include "BenchInputs.h"

#include "install/portable/IniText.h"

#include <benchmark/benchmark.h>

#include <string>

using install::IniText;

namespace {

std::string Sample(const char* file) {
    const std::vector<uint8_t> bytes = bench::SourceFileBytes(std::string("bench/data/") + file);
    return {bytes.begin(), bytes.end()};
}

void ParseIni(benchmark::State& state, const char* file) {
    const std::string bytes = Sample(file);
    for (auto _ : state) {
        IniText text = IniText::Parse(bytes);
        benchmark::DoNotOptimize(&text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK_CAPTURE(ParseIni, ansi, "holter-ansi.ini");
BENCHMARK_CAPTURE(ParseIni, utf16, "holter-utf16.ini");

void SerializeIni(benchmark::State& state, const char* file) {
    const IniText text = IniText::Parse(Sample(file));
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string bytes = text.Serialize();
        benchmark::DoNotOptimize(bytes.data());
        size = bytes.size();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK_CAPTURE(SerializeIni, ansi, "holter-ansi.ini");
BENCHMARK_CAPTURE(SerializeIni, utf16, "holter-utf16.ini");

// The installer's own change of the file: read, two options set, written.
void WriteInitialOptions(benchmark::State& state, const char* file) {
    const std::string bytes = Sample(file);
    for (auto _ : state) {
        IniText text = IniText::Parse(bytes);
        text.SetInteger(u"options", u"FilterType", 0);
        text.SetInteger(u"options", u"HardwareType", 1);
        const std::string written = text.Serialize();
        benchmark::DoNotOptimize(written.data());
    }
}
BENCHMARK_CAPTURE(WriteInitialOptions, ansi, "holter-ansi.ini");
BENCHMARK_CAPTURE(WriteInitialOptions, utf16, "holter-utf16.ini");

} // namespace
