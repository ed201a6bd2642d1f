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

// Reads a block and writes it, one after the other on the calling thread,
// through one buffer: the block is still in the processor's cache when it
// is written. A reader thread with buffers of megabytes (which no cache
// holds) made the same copy slower, not faster. Reading is only a copy out
// of the system's cache; the wait worth overlapping is the disk's, which
// the flushing thread takes off the copy.
SysResult CopyBlocks(HANDLE source, HANDLE destination, ULONGLONG size, DWORD blockSize,
                     const std::function<void(ULONGLONG)>& written) {
    IBlockWriter& writer = CurrentBlockWriter();
    const auto buffer = std::make_unique_for_overwrite<BYTE[]>(blockSize);
    for (ULONGLONG copied = 0; copied < size;) {
        const DWORD wanted = static_cast<DWORD>(std::min<ULONGLONG>(size - copied, blockSize));
        if (const SysResult read = ReadWhole(source, buffer.get(), wanted); !read) {
            return read;
        }
        if (const SysResult wrote = writer.WriteBlock(destination, buffer.get(), wanted); !wrote) {
            return wrote;
        }
        copied += wanted;
        written(copied);
    }
    return {};
}

// Flushes the destination through its second handle on a thread of its own
// whenever another kWriteBackStep bytes were written, while the copying
// thread goes on: the disk writes the file while it is copied, not all at
// the caller's final flush.
class FlushedBehind {
  public:
    explicit FlushedBehind(HANDLE writeBack) : writeBack_(writeBack) {}
    FlushedBehind(const FlushedBehind&) = delete;
    FlushedBehind& operator=(const FlushedBehind&) = delete;

    // The flushing thread stops, and is joined, when `thread` goes; it
    // must be declared after this object.
    SysResult Start(std::jthread& thread) {
        return CurrentThreadStarter().Start(thread, [this] { FlushAll(); });
    }

    // Called by the copying thread after each block; wakes the flushing
    // thread once a step's worth has been written since it was last woken.
    void Written(ULONGLONG bytes) {
        if (bytes - announced_ < kWriteBackStep) {
            return;
        }
        announced_ = bytes;
        {
            const std::lock_guard lock(mutex_);
            written_ = bytes;
        }
        changed_.notify_one();
    }

    // Tells the flushing thread to stop when it goes, however the copy
    // ended.
    class StopOnExit {
      public:
        explicit StopOnExit(FlushedBehind& flushes) : flushes_(flushes) {}
        ~StopOnExit() {
            {
                const std::lock_guard lock(flushes_.mutex_);
                flushes_.stopping_ = true;
            }
            flushes_.changed_.notify_all();
        }
        StopOnExit(const StopOnExit&) = delete;
        StopOnExit& operator=(const StopOnExit&) = delete;

      private:
        FlushedBehind& flushes_;
    };

  private:
    void FlushAll() {
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
            // Its failures are left to the caller's own flush.
            FlushFileBuffers(writeBack_);
        }
    }

    HANDLE writeBack_;
    std::mutex mutex_;
    std::condition_variable changed_;
    ULONGLONG written_ = 0;   // as last announced to the flushing thread
    ULONGLONG announced_ = 0; // the copying thread's own copy of it
    bool stopping_ = false;   // the copy has ended, well or not
};

SysResult CopyFlushedBehind(HANDLE source, HANDLE destination, ULONGLONG size, DWORD blockSize,
                            HANDLE writeBack, const std::function<void(ULONGLONG)>& written) {
    FlushedBehind flushes(writeBack);
    std::jthread flusher;
    const FlushedBehind::StopOnExit stop(flushes);
    if (const SysResult started = flushes.Start(flusher); !started) {
        return started;
    }
    return CopyBlocks(source, destination, size, blockSize, [&](ULONGLONG bytes) {
        flushes.Written(bytes);
        written(bytes);
    });
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
    const auto written = [&](ULONGLONG bytes) {
        if (progress) {
            progress(bytes, size);
        }
    };
    // A file smaller than a block needs no more buffer than its size.
    blockSize = static_cast<DWORD>(std::min<ULONGLONG>(size, blockSize));
    if (writeBack == nullptr) {
        return CopyBlocks(source, destination, size, blockSize, written);
    }
    return CopyFlushedBehind(source, destination, size, blockSize, writeBack, written);
}

} // namespace files
