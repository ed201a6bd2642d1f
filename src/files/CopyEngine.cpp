#include "files/CopyEngine.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "files/BlockWriter.h"

namespace files {

namespace {

// Fills `buffer` with `wanted` bytes; false with the error when the file
// failed or ended first.
bool ReadWhole(HANDLE file, BYTE* buffer, DWORD wanted, DWORD& error) {
    while (wanted > 0) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, wanted, &read, nullptr)) {
            error = GetLastError() != 0 ? GetLastError() : ERROR_READ_FAULT;
            return false;
        }
        if (read == 0) {
            error = ERROR_HANDLE_EOF;
            return false;
        }
        buffer += read;
        wanted -= read;
    }
    return true;
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

    bool Run(const CopyProgress& progress) {
        bool copied = false;
        DWORD error = 0;
        {
            std::jthread reader([this] { ReadAll(); });
            std::jthread flusher;
            if (writeBack_ != nullptr) {
                flusher = std::jthread([this] { WriteBackAll(); });
            }
            // Declared after the threads, so that however the copy ends they
            // are told to stop before they are joined.
            const StopOnExit stop(*this);
            copied = WriteAll(progress);
            error = GetLastError();
        }
        SetLastError(error);
        return copied;
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
            DWORD error = 0;
            const bool read = ReadWhole(source_, block.data.get(), wanted, error);
            {
                const std::lock_guard lock(mutex_);
                block.filled = wanted;
                block.full = read;
                readError_ = error;
            }
            changed_.notify_all();
            if (!read) {
                return;
            }
            left -= wanted;
        }
    }

    bool WriteAll(const CopyProgress& progress) {
        IBlockWriter& writer = CurrentBlockWriter();
        ULONGLONG copied = 0;
        for (size_t index = 0; copied < size_; index ^= 1) {
            Block& block = blocks_[index];
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return block.full || readError_ != 0; });
                if (!block.full) {
                    SetLastError(readError_);
                    return false;
                }
            }
            if (!writer.WriteBlock(destination_, block.data.get(), block.filled)) {
                return false;
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
        return true;
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

bool CopySingleBlock(HANDLE source, HANDLE destination, DWORD size, const CopyProgress& progress) {
    const auto buffer = std::make_unique_for_overwrite<BYTE[]>(size);
    DWORD error = 0;
    if (!ReadWhole(source, buffer.get(), size, error)) {
        SetLastError(error);
        return false;
    }
    if (!CurrentBlockWriter().WriteBlock(destination, buffer.get(), size)) {
        return false;
    }
    if (progress) {
        progress(size, size);
    }
    return true;
}

} // namespace

bool CopyFileContent(HANDLE source, HANDLE destination, ULONGLONG size,
                     const CopyProgress& progress, DWORD blockSize, HANDLE writeBack) {
    if (progress) {
        progress(0, size);
    }
    if (size == 0) {
        return true;
    }
    if (size <= blockSize) {
        // One block: nothing to overlap, no thread worth starting.
        return CopySingleBlock(source, destination, static_cast<DWORD>(size), progress);
    }
    return OverlappedCopy(source, destination, size, blockSize, writeBack).Run(progress);
}

} // namespace files
