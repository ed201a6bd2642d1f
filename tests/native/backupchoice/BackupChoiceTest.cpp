#include "install/portable/BackupChoice.h"

#include <cwctype>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/AppError.h"

using base::AppError;
using install::BackupDateKey;
using install::BackupLevel;
using install::ChooseNewestBackup;

namespace {

// Case-insensitive order of plain ASCII paths, as the system's comparison
// orders them.
int CompareIgnoringCase(const std::wstring& a, const std::wstring& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wint_t ca = std::towlower(a[i]);
        const wint_t cb = std::towlower(b[i]);
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::wstring Choose(const std::vector<std::wstring>& paths) {
    return ChooseNewestBackup(paths, CompareIgnoringCase);
}

std::wstring ErrorText(const std::vector<std::wstring>& paths) {
    try {
        Choose(paths);
    } catch (const AppError& error) {
        return error.text();
    }
    return L"<no error>";
}

const std::wstring kDir = L"C:\\Vestar\\backup\\";

} // namespace

TEST(BackupChoice, NewestDateWinsWhateverTheNameOrder) {
    EXPECT_EQ(Choose({kDir + L"b311213", kDir + L"a010114"}), kDir + L"a010114");
    EXPECT_EQ(Choose({kDir + L"a010114", kDir + L"b311213"}), kDir + L"a010114");
    EXPECT_EQ(Choose({kDir + L"r010613", kDir + L"r150613", kDir + L"r020613"}), kDir + L"r150613");
}

TEST(BackupChoice, OfEqualDatesTheFirstInCaseInsensitiveOrderWins) {
    EXPECT_EQ(Choose({kDir + L"y150613", kDir + L"x150613"}), kDir + L"x150613");
    EXPECT_EQ(Choose({kDir + L"y150613", kDir + L"X150613", kDir + L"z150613"}), kDir + L"X150613");
}

TEST(BackupChoice, UsesTheGivenOrderForTies) {
    const auto reversed = [](const std::wstring& a, const std::wstring& b) {
        return -CompareIgnoringCase(a, b);
    };
    EXPECT_EQ(ChooseNewestBackup({kDir + L"x150613", kDir + L"y150613"}, reversed),
              kDir + L"y150613");
}

TEST(BackupChoice, TwoDigitYearsCountFrom1980To2079) {
    EXPECT_EQ(Choose({kDir + L"k311299", kDir + L"k010115"}), kDir + L"k010115");
    EXPECT_EQ(Choose({kDir + L"a010180", kDir + L"b311279"}), kDir + L"b311279");
    EXPECT_EQ(Choose({kDir + L"a010100", kDir + L"b311299"}), kDir + L"a010100");
}

TEST(BackupChoice, DateKeys) {
    EXPECT_EQ(BackupDateKey(kDir + L"a010114"), 20140101);
    EXPECT_EQ(BackupDateKey(kDir + L"k311299"), 19991231);
    EXPECT_EQ(BackupDateKey(kDir + L"k311279"), 20791231);
    EXPECT_EQ(BackupDateKey(kDir + L"k010180"), 19800101);
    EXPECT_EQ(BackupDateKey(L"000000"), 20000000);
}

TEST(BackupChoice, KeysThatAreNotSixDigitsRaiseWithTheRearrangedText) {
    struct Case {
        std::wstring path;
        std::wstring text;
    };
    const std::vector<Case> cases = {
        {kDir + L"r15061x", L"'1x0615' is not a valid integer value"},
        {kDir + L"r+12345", L"'4523+1' is not a valid integer value"},
        {kDir + L"r 12345", L"'4523 1' is not a valid integer value"},
        {kDir + L"r-12345", L"'4523-1' is not a valid integer value"},
        {kDir + L"ab", L"'abp\\ku' is not a valid integer value"},
        {L"12345", L"'12345' is not a valid integer value"},
        {kDir + L"r\x0661\x0662\x0663\x0664\x0665\x0666",
         L"'\x0665\x0666\x0663\x0664\x0661\x0662' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorText({c.path}), c.text);
    }
}

TEST(BackupChoice, ABadKeyAnywhereInTheListRaises) {
    EXPECT_EQ(ErrorText({kDir + L"a010114", kDir + L"zzz"}),
              L"'zz\\zup' is not a valid integer value");
}

TEST(BackupChoice, EmptyListRaisesTheIndexError) {
    EXPECT_EQ(ErrorText({}), L"List index out of bounds (0)");
}

TEST(BackupChoice, LevelIsTheNameWithoutItsFirstCharacter) {
    EXPECT_EQ(BackupLevel(kDir + L"r150613"), L"150613");
    EXPECT_EQ(BackupLevel(kDir + L"release150613"), L"elease150613");
    EXPECT_EQ(BackupLevel(L"a010114"), L"010114");
    EXPECT_EQ(BackupLevel(kDir + L"Р150613"), L"150613");
    EXPECT_EQ(BackupLevel(kDir), L"");
}
