#pragma once
// Process-wide seams: an interface whose implementation in use a test can
// replace for a scope (the block writer, the font registry).

namespace base {

// Puts `replacement` in the place of what `current` points to for its
// lifetime, then puts that back.
template <typename Interface> class ScopedReplacement {
  public:
    ScopedReplacement(Interface*& current, Interface& replacement)
        : current_(current), previous_(current) {
        current_ = &replacement;
    }
    ~ScopedReplacement() { current_ = previous_; }
    ScopedReplacement(const ScopedReplacement&) = delete;
    ScopedReplacement& operator=(const ScopedReplacement&) = delete;

  private:
    Interface*& current_;
    Interface* previous_;
};

} // namespace base
