// Any bytes given as a font file: the name reader must stay inside them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "system/portable/FontNameReader.h"

using sys::ReadFontFullName;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that a read past the end is caught.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::u16string name = ReadFontFullName(bytes.data(), bytes.size());
    // The name is read from the file's bytes, two per character.
    if (name.size() * 2 > size) {
        __builtin_trap();
    }
    return 0;
}
