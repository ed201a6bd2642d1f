#include "files/BlockWriter.h"

namespace files {

using base::SysResult;

namespace {

class SystemBlockWriter final : public IBlockWriter {
  public:
    SysResult WriteBlock(HANDLE file, const void* data, DWORD size) override {
        const auto* bytes = static_cast<const BYTE*>(data);
        while (size > 0) {
            DWORD written = 0;
            if (!WriteFile(file, bytes, size, &written, nullptr)) {
                return SysResult::LastError();
            }
            if (written == 0) {
                return SysResult::Failed(ERROR_WRITE_FAULT);
            }
            bytes += written;
            size -= written;
        }
        return {};
    }
};

SystemBlockWriter systemWriter;
IBlockWriter* currentWriter = &systemWriter;

} // namespace

IBlockWriter& CurrentBlockWriter() {
    return *currentWriter;
}

ScopedBlockWriter::ScopedBlockWriter(IBlockWriter& writer)
    : ScopedReplacement(currentWriter, writer) {}

} // namespace files
