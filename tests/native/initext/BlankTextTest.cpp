#include <gtest/gtest.h>

#include "base/portable/BlankText.h"

using base::TrimmedBlanks;
using base::WithoutTrailingBlanks;

namespace {

struct BlankCase {
    std::wstring_view text;
    std::wstring_view trimmed;
    std::wstring_view withoutTrailing;
};

TEST(BlankText, EveryUnitUpToTheSpaceIsABlank) {
    const BlankCase cases[] = {
        {L"", L"", L""},
        {L" \t\r\n", L"", L""},
        {L"Access is denied.\r\n", L"Access is denied.", L"Access is denied."},
        {L"\t C:\\Vestar \x1F", L"C:\\Vestar", L"\t C:\\Vestar"},
        {L"a b", L"a b", L"a b"},
        {L"\x00A0x\x00A0", L"\x00A0x\x00A0", L"\x00A0x\x00A0"}, // no-break space is text
    };
    for (const BlankCase& c : cases) {
        EXPECT_EQ(TrimmedBlanks(c.text), c.trimmed);
        EXPECT_EQ(WithoutTrailingBlanks(c.text), c.withoutTrailing);
    }
}

} // namespace
