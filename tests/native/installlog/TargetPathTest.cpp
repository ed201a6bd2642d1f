#include <gtest/gtest.h>

#include "install/portable/TargetPath.h"

using install::CheckTargetPath;
using install::TTargetPath;
using install::TTargetPathVerdict;

namespace {

struct PathCase {
    const wchar_t* text;
    TTargetPathVerdict verdict;
    const wchar_t* path;
};

class TargetPathRules : public ::testing::TestWithParam<PathCase> {};

TEST_P(TargetPathRules, AsThePathPageJudgesThem) {
    const TTargetPath target = CheckTargetPath(GetParam().text);
    EXPECT_EQ(target.verdict, GetParam().verdict);
    EXPECT_EQ(target.path, GetParam().path);
}

using V = TTargetPathVerdict;
INSTANTIATE_TEST_SUITE_P(
    Paths, TargetPathRules,
    ::testing::Values(PathCase{L"", V::Empty, L""}, PathCase{L" \t\r\n ", V::Empty, L""},
                      PathCase{L"C:", V::Root, L"C:\\"}, PathCase{L"C:\\", V::Root, L"C:\\"},
                      PathCase{L"  D:\\  ", V::Root, L"D:\\"}, PathCase{L"ab", V::Root, L"ab\\"},
                      PathCase{L"abc", V::Accepted, L"abc\\"},
                      PathCase{L"  C:\\Program Files\\Вестар \t", V::Accepted,
                               L"C:\\Program Files\\Вестар\\"},
                      // A trailing backslash is kept as it is, never doubled.
                      PathCase{L"C:\\Holter\\", V::Accepted, L"C:\\Holter\\"}));

} // namespace
