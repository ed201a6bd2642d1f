#pragma once
// The machine's font registrations. The font step records every font it
// installs through the current font registry, so that a test can put a
// recorder in its place and leave the machine's Fonts key alone.
#include <string>

#include "base/ScopedReplacement.h"

namespace sys {

class IFontRegistry {
  public:
    virtual ~IFontRegistry() = default;
    // Sets the REG_SZ value `name` to `fileName` (a file of the Windows
    // fonts directory) and flushes it; raises the registry's error texts.
    virtual void SetFontValue(const std::wstring& name, const std::wstring& fileName) = 0;
};

// The registry in use: HKLM's Fonts key unless a test replaced it.
IFontRegistry& CurrentFontRegistry();

// Puts `registry` in place of the current font registry for its lifetime.
class ScopedFontRegistry : public base::ScopedReplacement<IFontRegistry> {
  public:
    explicit ScopedFontRegistry(IFontRegistry& registry);
};

} // namespace sys
