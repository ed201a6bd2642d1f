#include <gtest/gtest.h>

#include "base/SysError.h"

using base::HresultDigits;
using base::HresultText;

namespace {

TEST(HresultText, SystemTextOrOleErrorWithTheCodesDigits) {
    // A facility-ITF code the system has no text for falls back to its
    // digits; a Win32 error wrapped as an HRESULT reads as that error.
    EXPECT_EQ(HresultText(static_cast<HRESULT>(0x8004FE01)), L"OLE error 8004FE01");
    EXPECT_EQ(HresultDigits(static_cast<HRESULT>(0x800401F0)), L"800401F0");
    EXPECT_EQ(HresultDigits(S_OK), L"00000000");
    const std::wstring denied = HresultText(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(denied.empty());
    EXPECT_EQ(denied.find(L"OLE error"), std::wstring::npos);
}

} // namespace
