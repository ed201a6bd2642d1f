#include "files/BlockWriter.h"

namespace files {

namespace {

class SystemBlockWriter final : public IBlockWriter {
  public:
    bool WriteBlock(HANDLE file, const void* data, DWORD size) override {
        const auto* bytes = static_cast<const BYTE*>(data);
        while (size > 0) {
            DWORD written = 0;
            if (!WriteFile(file, bytes, size, &written, nullptr)) {
                return false;
            }
            if (written == 0) {
                SetLastError(ERROR_WRITE_FAULT);
                return false;
            }
            bytes += written;
            size -= written;
        }
        return true;
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
