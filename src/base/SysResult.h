#pragma once
// The outcome of a file operation that the caller decides about: success,
// or the system's error code of the step that failed. The file layer gives
// it for block writes, content copies and the temporary file's flush and
// move, so that the code travels up to the install run and its log.
#include <windows.h>

namespace base {

class [[nodiscard]] SysResult {
  public:
    // Success.
    constexpr SysResult() = default;
    // A failure with `code`; a code of 0 (a failure the system gave no code
    // for) becomes ERROR_GEN_FAILURE, so that it is never taken for success.
    static constexpr SysResult Failed(DWORD code) {
        return SysResult(code != 0 ? code : ERROR_GEN_FAILURE);
    }
    // A failure with the calling thread's last error.
    static SysResult LastError() { return Failed(GetLastError()); }

    constexpr bool ok() const { return code_ == 0; }
    constexpr explicit operator bool() const { return ok(); }
    // 0 on success, otherwise the system's error code.
    constexpr DWORD code() const { return code_; }

  private:
    constexpr explicit SysResult(DWORD code) : code_(code) {}
    DWORD code_ = 0;
};

} // namespace base
