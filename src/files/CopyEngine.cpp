#include "files/CopyEngine.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "files/BlockWriter.h"
#include "files/ThreadStarter.h"

namespace files {

using base::SysResult;

namespace {

// Fills `buffer` with `wanted` bytes; the error when the file failed or
// ended first.
SysResult ReadWhole(HANDLE file, BYTE* buffer, DWORD wanted) {
    while (wanted > 0) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, wanted, &read, nullptr)) {
            const DWORD error = GetLastError();
            return SysResult::Failed(error != 0 ? error : ERROR_READ_FAULT);
        }
        if (read == 0) {
            return SysResult::Failed(ERROR_HANDLE_EOF);
        }
        buffer += read;
        wanted -= read;
    }
    return {};
}

// Two buffers passed back and forth: the reader fills a free one, the writer
// empties a full one, in block order.
class OverlappedCopy {
  public:
    OverlappedCopy(HANDLE source, HANDLE destination, ULONGLONG size, DWORD blockSize,
                   HANDLE writeBack)
        : source_(source), destination_(destination), writeBack_(writeBack), size_(size),
          blockSize_(static_cast<DWORD>(std::min<ULONGLONG>(size, blockSize))) {
        for (Block& block : blocks_) {
            block.data = std::make_unique_for_overwrite<BYTE[]>(blockSize_);
        }
    }

    SysResult Run(const CopyProgress& progress) {
        IThreadStarter& starter = CurrentThreadStarter();
        std::jthread reader;
        std::jthread flusher;
        // Declared after the threads and before either starts, so that
        // however the copy ends (a start that failed included) every thread
        // started is told to stop before it is joined.
        const StopOnExit stop(*this);
        if (const SysResult started = starter.Start(reader, [this] { ReadAll(); }); !started) {
            return started;
        }
        if (writeBack_ != nullptr) {
            if (const SysResult started = starter.Start(flusher, [this] { WriteBackAll(); });
                !started) {
                return started;
            }
        }
        return WriteAll(progress);
    }

  private:
    // Tells the reading and flushing threads to stop when it goes: a flag
    // under the mutex they already wait on, so that stopping needs nothing
    // beyond it and the condition variable (no stop token and its callback).
    class StopOnExit {
      public:
        explicit StopOnExit(OverlappedCopy& copy) : copy_(copy) {}
        ~StopOnExit() {
            {
                const std::lock_guard lock(copy_.mutex_);
                copy_.stopping_ = true;
            }
            copy_.changed_.notify_all();
        }
        StopOnExit(const StopOnExit&) = delete;
        StopOnExit& operator=(const StopOnExit&) = delete;

      private:
        OverlappedCopy& copy_;
    };

    struct Block {
        std::unique_ptr<BYTE[]> data;
        DWORD filled = 0;
        bool full = false;
    };

    void ReadAll() {
        ULONGLONG left = size_;
        for (size_t index = 0; left > 0; index ^= 1) {
            Block& block = blocks_[index];
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return !block.full || stopping_; });
                if (stopping_) {
                    return;
                }
            }
            const DWORD wanted = static_cast<DWORD>(std::min<ULONGLONG>(left, blockSize_));
            const SysResult read = ReadWhole(source_, block.data.get(), wanted);
            {
                const std::lock_guard lock(mutex_);
                block.filled = wanted;
                block.full = read.ok();
                readError_ = read.code();
            }
            changed_.notify_all();
            if (!read) {
                return;
            }
            left -= wanted;
        }
    }

    SysResult WriteAll(const CopyProgress& progress) {
        IBlockWriter& writer = CurrentBlockWriter();
        ULONGLONG copied = 0;
        for (size_t index = 0; copied < size_; index ^= 1) {
            Block& block = blocks_[index];
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return block.full || readError_ != 0; });
                if (!block.full) {
                    return SysResult::Failed(readError_);
                }
            }
            if (const SysResult written =
                    writer.WriteBlock(destination_, block.data.get(), block.filled);
                !written) {
                return written;
            }
            copied += block.filled;
            {
                const std::lock_guard lock(mutex_);
                block.full = false;
                written_ = copied;
            }
            changed_.notify_all();
            if (progress) {
                progress(copied, size_);
            }
        }
        return {};
    }

    // Flushes the destination through its second handle whenever another
    // kWriteBackStep bytes were written, until the copy ends.
    void WriteBackAll() {
        ULONGLONG flushed = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock,
                              [&] { return stopping_ || written_ - flushed >= kWriteBackStep; });
                if (stopping_) {
                    return;
                }
                flushed = written_;
            }
            FlushFileBuffers(writeBack_);
        }
    }

    HANDLE source_;
    HANDLE destination_;
    HANDLE writeBack_;
    ULONGLONG size_;
    DWORD blockSize_;
    Block blocks_[2];
    std::mutex mutex_;
    std::condition_variable changed_;
    DWORD readError_ = 0;
    ULONGLONG written_ = 0;
    bool stopping_ = false; // the writer has ended, well or not
};

SysResult CopySingleBlock(HANDLE source, HANDLE destination, DWORD size,
                          const CopyProgress& progress) {
    const auto buffer = std::make_unique_for_overwrite<BYTE[]>(size);
    if (const SysResult read = ReadWhole(source, buffer.get(), size); !read) {
        return read;
    }
    if (const SysResult written = CurrentBlockWriter().WriteBlock(destination, buffer.get(), size);
        !written) {
        return written;
    }
    if (progress) {
        progress(size, size);
    }
    return {};
}

} // namespace

SysResult CopyFileContent(HANDLE source, HANDLE destination, ULONGLONG size,
                          const CopyProgress& progress, DWORD blockSize, HANDLE writeBack) {
    if (progress) {
        progress(0, size);
    }
    if (size == 0) {
        return {};
    }
    if (size <= blockSize) {
        // One block: nothing to overlap, no thread worth starting.
        return CopySingleBlock(source, destination, static_cast<DWORD>(size), progress);
    }
    return OverlappedCopy(source, destination, size, blockSize, writeBack).Run(progress);
}

} // namespace files
