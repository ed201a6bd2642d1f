#pragma once
// Writing blocks into files. Every file the installer writes (copies and
// settings files alike) goes through the current block writer, so that a
// test can replace it process-wide and make writes fail midway.
#include <windows.h>

#include "base/ScopedReplacement.h"
#include "base/SysResult.h"

namespace files {

class IBlockWriter {
  public:
    virtual ~IBlockWriter() = default;
    // Writes all `size` bytes at the file's position; the system's error
    // code when the write failed.
    virtual base::SysResult WriteBlock(HANDLE file, const void* data, DWORD size) = 0;
};

// The writer in use: the system's WriteFile unless a test replaced it.
IBlockWriter& CurrentBlockWriter();

// Puts `writer` in place of the current block writer for its lifetime.
class ScopedBlockWriter : public base::ScopedReplacement<IBlockWriter> {
  public:
    explicit ScopedBlockWriter(IBlockWriter& writer);
};

} // namespace files
