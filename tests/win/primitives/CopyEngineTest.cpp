// The content copy between two open files: block edges, the order of the
// blocks through the two buffers, progress, and failures on either side.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FailingWriter.h"
#include "common/TestFiles.h"
#include "files/CopyEngine.h"
#include "base/Handles.h"

using base::UniqueHandle;
using files::CopyFileContent;
using files::kWriteBackStep;
using files::ScopedBlockWriter;

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
    // last error and the progress calls.
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
        SetLastError(0xdeadbeef);
        const bool copied = CopyFileContent(
            in.get(), out.get(), claimed,
            [&](ULONGLONG done, ULONGLONG size) {
                progress.push_back({done, size});
            },
            block, second.get());
        error = GetLastError();
        return copied;
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
    EXPECT_FALSE(Copy(content, size, kLargeBlock, true));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL));
}

} // namespace
