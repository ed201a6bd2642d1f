#include "shared/ResString.h"

#include <array>

namespace shared {

std::wstring GetResString(HINSTANCE module, UINT id) {
    std::array<wchar_t, 255> buffer{};
    LoadStringW(module, id, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data());
}

} // namespace shared
