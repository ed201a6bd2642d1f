#pragma once
// Raised errors carry their text; the window layer's dispatch boundary shows
// them in the application's top-level error report.
#include <exception>
#include <string>

namespace base {

class AppError : public std::exception {
  public:
    explicit AppError(std::wstring text) : text_(std::move(text)) {}
    const std::wstring& text() const noexcept { return text_; }
    const char* what() const noexcept override { return "AppError"; }

  private:
    std::wstring text_;
};

// A raised error that a failed system call caused: its text as given, and
// the system's error code, so that a log can name the cause beside the text.
class SysFailure : public AppError {
  public:
    SysFailure(std::wstring text, unsigned long code) : AppError(std::move(text)), code_(code) {}
    unsigned long code() const noexcept { return code_; }

  private:
    unsigned long code_;
};

// The top-level report's full-stop rule: a full stop is appended when the
// text's last character has a higher code than the full stop itself.
inline std::wstring WithFullStop(const std::wstring& text) {
    if (!text.empty() && text.back() > L'.') {
        return text + L'.';
    }
    return text;
}

} // namespace base
