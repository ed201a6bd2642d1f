#pragma once
// Copying a file's content between two open files at the disk's pace: one
// buffer, read and written in turn on the calling thread, while another
// thread flushes what is written behind the copy.
#include <functional>
#include <windows.h>

#include "base/SysResult.h"

namespace files {

// Called on the copying thread once before anything is written and after
// each block, with the number of bytes written so far and the number to copy.
using CopyProgress = std::function<void(ULONGLONG copied, ULONGLONG size)>;

// Large enough that the per-call cost of a read or a write vanishes, small
// enough that a block read is still in the processor's cache when it is
// written. Under Wine, copying a 2 GiB file this way took about two thirds
// of the time that 4 MiB blocks read by a second thread took
// (bench/README.md, "Sixth round").
constexpr DWORD kCopyBlockSize = 256 * 1024;

// How much newly written data makes the write-back flush again: large
// enough that the flushes cost little, small enough that the disk starts
// early and the caller's final flush finds little left.
constexpr ULONGLONG kWriteBackStep = 64ull * 1024 * 1024;

// Copies `size` bytes from the source's position to the destination's
// position; every write goes through the current block writer. With a
// `writeBack` handle (a second handle of the destination, opened for
// writing), another thread flushes it after every kWriteBackStep bytes
// while the copy goes on; its failures are left to the caller's own flush.
// That thread starts through the current thread starter. The system's error
// code when a read or a write failed, the source ended before `size` bytes
// (ERROR_HANDLE_EOF) or the flushing thread could not be started; that
// thread has ended when it returns.
base::SysResult CopyFileContent(HANDLE source, HANDLE destination, ULONGLONG size,
                                const CopyProgress& progress = {}, DWORD blockSize = kCopyBlockSize,
                                HANDLE writeBack = nullptr);

} // namespace files
