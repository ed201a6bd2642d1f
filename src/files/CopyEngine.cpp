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
        // Both threads are stopped and joined before Run returns, however it
        // returns, and before the writer's error is handed on.
        std::jthread reader([this](const std::stop_token& stop) { ReadAll(stop); });
        std::jthread flusher;
        if (writeBack_ != nullptr) {
            flusher = std::jthread([this](const std::stop_token& stop) { WriteBackAll(stop); });
        }
        const bool copied = WriteAll(progress);
        const DWORD error = GetLastError();
        for (std::jthread* thread : {&flusher, &reader}) {
            if (thread->joinable()) {
                thread->request_stop();
                thread->join();
            }
        }
        SetLastError(error);
        return copied;
    }

  private:
    struct Block {
        std::unique_ptr<BYTE[]> data;
        DWORD filled = 0;
        bool full = false;
    };

    void ReadAll(const std::stop_token& stop) {
        ULONGLONG left = size_;
        for (size_t index = 0; left > 0; index ^= 1) {
            Block& block = blocks_[index];
            {
                std::unique_lock lock(mutex_);
                if (!changed_.wait(lock, stop, [&] { return !block.full; })) {
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
    void WriteBackAll(const std::stop_token& stop) {
        ULONGLONG flushed = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                if (!changed_.wait(lock, stop,
                                   [&] { return written_ - flushed >= kWriteBackStep; })) {
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
    std::condition_variable_any changed_;
    DWORD readError_ = 0;
    ULONGLONG written_ = 0;
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
