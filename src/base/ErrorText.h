#pragma once
// The text an escaped error is reported with, for every layer that reports
// one (the window layer's error report, the install run's log, the
// command line's standard error).
#include <exception>
#include <string>

namespace base {

// The text of an error: AppError's own text, or what() of any other
// std::exception, read as UTF-8.
std::wstring ErrorText(const std::exception_ptr& error);

} // namespace base
