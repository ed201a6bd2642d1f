// The percentage on a copy's status line: when it appears, how often it is
// rewritten, and that the finished line carries only the result word.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/RecordingLog.h"
#include "install/portable/CopyProgressLine.h"

using fixtures::RecordingLog;
using install::CopyProgressLine;

namespace {

const std::wstring kBase = L"Копирование файла QZ7.FDB....";

struct Step {
    uint64_t copied;
    uint64_t nowMs; // the copy started at 1000
};

struct Case {
    const char* name;
    uint64_t size;
    std::vector<Step> steps;
    std::vector<std::wstring> shown; // the line's texts after the announcement
};

TEST(CopyProgressLine, ShowsThePercentageOnlyAfterHalfASecondAndAtMostTenTimesASecond) {
    const std::vector<Case> cases = {
        {"a short copy shows no percentage", 1000, {{400, 1200}, {1000, 1499}}, {}},
        {"at half a second the share shows, rounded down", 1000, {{374, 1500}}, {kBase + L"37%"}},
        {"a rewrite waits 100 ms after the last one",
         1000,
         {{100, 1500}, {200, 1599}, {300, 1600}, {400, 1650}, {500, 1700}},
         {kBase + L"10%", kBase + L"30%", kBase + L"50%"}},
        {"an unchanged share is not rewritten",
         1000,
         {{100, 1500}, {109, 1700}, {110, 1701}},
         {kBase + L"10%", kBase + L"11%"}},
        {"an empty file never shows a share", 0, {{0, 5000}}, {}},
        {"more bytes than the size show 100%", 10, {{12, 2000}}, {kBase + L"100%"}},
        {"a size past 4 GiB keeps its share",
         uint64_t{6} << 30,
         {{uint64_t{3} << 30, 1500}},
         {kBase + L"50%"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingLog log;
        log.Add(L"Прежняя строка");
        const int line = log.Add(kBase);
        CopyProgressLine status(log, line, 1000);
        for (const Step& step : c.steps) {
            status.Update(step.copied, c.size, step.nowMs);
        }
        std::vector<std::wstring> shown(log.history[line].begin() + 1, log.history[line].end());
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(log.lines.size(), 2u) << "lines are rewritten in place, never added";
    }
}

TEST(CopyProgressLine, ResultWordReplacesThePercentage) {
    for (const wchar_t* word : {L"Завершено", L"ОШИБКА!!!", L""}) {
        RecordingLog log;
        const int line = log.Add(kBase);
        CopyProgressLine status(log, line, 0);
        status.Update(50, 100, 600);
        ASSERT_EQ(log.lines[line], kBase + L"50%");
        status.Finish(word);
        EXPECT_EQ(log.lines[line], kBase + word);
        EXPECT_TRUE(log.causes.empty()) << "a failure's cause is the run's to give";
    }
}

} // namespace
