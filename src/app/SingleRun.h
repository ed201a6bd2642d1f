#pragma once
// One installer or uninstaller at a time on the machine, whatever its target
// and whichever user session started it: each run holds a named mutex in
// the global namespace for as long as it lasts.
#include "base/Handles.h"

namespace app {

inline constexpr wchar_t kSingleRunMutexName[] = L"Global\\Vestar.Setup.InstallOrRemove";

// The exit code of a run refused because another is running (the code
// Windows Installer gives for the same case, which deployment tools retry).
inline constexpr int kExitAnotherRunning = 1618;

// The text a refused run shows or writes.
inline constexpr wchar_t kAnotherRunText[] =
    L"Уже идёт другая установка или удаление комплекса \"Вестар\". Дождитесь её окончания и "
    L"запустите программу снова.";

// Takes the mutex for the life of the object when nobody holds it.
class TSingleRun {
  public:
    TSingleRun();
    ~TSingleRun();
    TSingleRun(const TSingleRun&) = delete;
    TSingleRun& operator=(const TSingleRun&) = delete;

    bool Taken() const { return taken_; }

  private:
    base::UniqueHandle mutex_;
    bool taken_ = false;
};

// Tells that another run is going on: a message box for a run with
// questions, the starter's standard error for one without. Writes nothing
// to disk. Gives kExitAnotherRunning.
int RefuseSecondRun(bool unattended);

} // namespace app
