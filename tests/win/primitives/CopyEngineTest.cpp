// The content copy between two open files: block edges, the order of the
// blocks, progress, the flushing thread, and failures on either side.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "FailingWriter.h"
#include "common/TestFiles.h"
#include "files/CopyEngine.h"
#include "files/ThreadStarter.h"
#include "base/Handles.h"

using base::UniqueHandle;
using files::CopyFileContent;
using files::CurrentThreadStarter;
using files::IThreadStarter;
using files::kWriteBackStep;
using files::ScopedBlockWriter;
using files::ScopedThreadStarter;

namespace {

using namespace testfiles;

constexpr DWORD kBlock = 4096; // small blocks show the same edges as large ones

// Bytes that differ from block to block, so that a block out of order or
// written twice shows.
std::string Numbered(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / kBlock) % 251);
    }
    return bytes;
}

UniqueHandle Open(const std::wstring& path, DWORD access, DWORD disposition) {
    return UniqueHandle(
        CreateFileW(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

class CopyEngineTest : public testing::Test {
  protected:
    // Copies `claimed` bytes of a source holding `content`; the result, the
    // error code and the progress calls.
    // With `writeBack`, the destination is also flushed through a second
    // handle while the copy goes on.
    bool Copy(const std::string& content, ULONGLONG claimed, DWORD block = kBlock,
              bool writeBack = false) {
        EXPECT_TRUE(WriteBytes(source, content));
        const UniqueHandle in = Open(source, GENERIC_READ, OPEN_EXISTING);
        const UniqueHandle out(CreateFileW(destination.c_str(), GENERIC_WRITE,
                                           writeBack ? FILE_SHARE_WRITE : 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        UniqueHandle second;
        if (writeBack) {
            second.reset(CreateFileW(destination.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
            EXPECT_TRUE(second) << GetLastError();
        }
        const base::SysResult copied = CopyFileContent(
            in.get(), out.get(), claimed,
            [&](ULONGLONG done, ULONGLONG size) {
                progress.push_back({done, size});
            },
            block, second.get());
        error = copied.code();
        return copied.ok();
    }

    ScratchDir dir;
    std::wstring source = dir / L"источник.dat";
    std::wstring destination = dir / L"копия.dat";
    std::vector<std::pair<ULONGLONG, ULONGLONG>> progress;
    DWORD error = 0;
};

TEST_F(CopyEngineTest, CopiesEverySizeAroundTheBlockEdgesInOrder) {
    for (const size_t size : {size_t{0}, size_t{1}, size_t{kBlock - 1}, size_t{kBlock},
                              size_t{kBlock + 1}, size_t{5 * kBlock + 7}}) {
        SCOPED_TRACE(size);
        progress.clear();
        const std::string content = Numbered(size);

        EXPECT_TRUE(Copy(content, size));

        EXPECT_EQ(ReadBytes(destination), content);
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.front().first, 0u) << "the size is known before the first write";
        for (size_t i = 0; i < progress.size(); ++i) {
            EXPECT_EQ(progress[i].second, size);
            if (i > 0) {
                EXPECT_GT(progress[i].first, progress[i - 1].first);
            }
        }
        EXPECT_EQ(progress.back().first, size) << "the last report is the whole file";
    }
}

TEST_F(CopyEngineTest, WriteFailureInAMiddleBlockStopsTheCopyWithItsError) {
    FailingWriter failing(2 * kBlock + 10);
    const ScopedBlockWriter replaced(failing);

    EXPECT_FALSE(Copy(Numbered(size_t{10} * kBlock), ULONGLONG{10} * kBlock));

    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(failing.failures(), 1) << "nothing is written after the failure";
    EXPECT_EQ(progress.size(), 3u) << "the start and the two blocks written";
    EXPECT_EQ(ReadBytes(destination), Numbered(2 * kBlock + 10));
}

TEST_F(CopyEngineTest, SourceEndingEarlyFailsAfterWritingWhatWasRead) {
    const std::string content = Numbered(2 * kBlock + 100);

    EXPECT_FALSE(Copy(content, ULONGLONG{4} * kBlock));

    EXPECT_EQ(error, static_cast<DWORD>(ERROR_HANDLE_EOF));
    EXPECT_EQ(ReadBytes(destination), content.substr(0, size_t{2} * kBlock))
        << "whole blocks read are written; the short one is not";
}

// Starts threads through the starter it replaces, except the one start it
// refuses (none for 0), as the system does when it runs out of memory;
// counts the threads started and those whose work has ended.
class RefusingStarter final : public IThreadStarter {
  public:
    explicit RefusingStarter(int refused) : refused_(refused), real_(CurrentThreadStarter()) {}
    base::SysResult Start(std::jthread& thread, std::function<void()> work) override {
        if (++starts_ == refused_) {
            return base::SysResult::Failed(ERROR_NO_SYSTEM_RESOURCES);
        }
        const base::SysResult started = real_.Start(thread, [this, work] {
            work();
            ++ended;
        });
        started_ += started.ok() ? 1 : 0;
        return started;
    }
    int started() const { return started_; }
    std::atomic<int> ended{0};

  private:
    int refused_;
    IThreadStarter& real_;
    int starts_ = 0;
    int started_ = 0;
};

// Past one write-back step the destination is flushed during the copy: the
// bytes arrive whole, and a failed write still hands on its own error once
// the flushing thread has stopped.
TEST_F(CopyEngineTest, WriteBackLeavesTheBytesAndTheErrorsAsTheyWere) {
    constexpr DWORD kLargeBlock = 1024 * 1024;
    const size_t size = kWriteBackStep + size_t{3} * kLargeBlock + 5;
    const std::string content = Numbered(size);

    EXPECT_TRUE(Copy(content, size, kLargeBlock, true));
    EXPECT_TRUE(ReadBytes(destination) == content) << "the copy differs";

    FailingWriter failing(kWriteBackStep + kLargeBlock);
    const ScopedBlockWriter replaced(failing);
    RefusingStarter counting(0);
    const ScopedThreadStarter counted(counting);
    EXPECT_FALSE(Copy(content, size, kLargeBlock, true));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(counting.started(), 1);
    EXPECT_EQ(counting.ended.load(), 1) << "the flushing thread has ended when the copy returns";
}

// A flushing thread that cannot start ends the copy with its error before
// anything is written; a copy without write-back asks for no thread. A copy
// that never returns (a thread waiting for a stop that never comes) ends
// the test process after 60 s with the failure said, instead of hanging the
// test run.
TEST_F(CopyEngineTest, AThreadThatCannotStartEndsTheCopyWithItsError) {
    const struct {
        const char* name;
        bool writeBack;
        bool copies;
    } rows[] = {
        {"with write-back", true, false},
        {"without write-back", false, true},
    };
    const std::string content = Numbered(size_t{10} * kBlock);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RefusingStarter starter(1);
        const ScopedThreadStarter replaced(starter);
        const base::UniqueHandle returned(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        bool copied = !row.copies;
        std::thread copy([&] {
            copied = Copy(content, content.size(), kBlock, row.writeBack);
            SetEvent(returned.get());
        });
        if (WaitForSingleObject(returned.get(), 60000) != WAIT_OBJECT_0) {
            std::fprintf(stderr, "%s: the copy never returned\n", row.name);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 1);
        }
        copy.join();
        EXPECT_EQ(copied, row.copies);
        EXPECT_EQ(error, row.copies ? DWORD{0} : static_cast<DWORD>(ERROR_NO_SYSTEM_RESOURCES));
        EXPECT_EQ(ReadBytes(destination), row.copies ? content : std::string())
            << "nothing is written when the copy cannot go on";
        EXPECT_EQ(starter.started(), 0);
    }
}

} // namespace
