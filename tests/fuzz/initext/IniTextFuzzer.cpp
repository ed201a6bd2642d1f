// The profile text reader and writer on arbitrary bytes: no crash, and the
// written form is stable (parse, write, parse again gives the same text).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "install/portable/IniText.h"

using install::IniText;

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    const IniText first = IniText::Parse(input);
    const std::string written = first.Serialize();
    const IniText second = IniText::Parse(written);
    Require(second.Serialize() == written);

    IniText changed = IniText::Parse(input);
    changed.SetInteger(u"options", u"FilterType", 0);
    changed.SetInteger(u"options", u"HardwareType", 1);
    const IniText reread = IniText::Parse(changed.Serialize());
    Require(reread.ReadString(u"options", u"FilterType") == u"0");
    Require(reread.ReadString(u"options", u"HardwareType") == u"1");
    Require(reread.Serialize() == changed.Serialize());
    return 0;
}
