#pragma once

#include <string_view>

#include "commence/form_location.h"

namespace vk {

// Told of every script Commence stored through a ScriptTransfer, and of
// scripts found in Commence that would otherwise be lost from sight (the
// local history keeps them).
class CheckInRecorder {
public:
    virtual ~CheckInRecorder() = default;
    // `script` is the text as it was stored, tag lines included. It must not
    // throw: a check-in Commence took stays a success whatever becomes of
    // its record.
    virtual void CheckedIn(const FormLocation& form, std::string_view script) noexcept = 0;
    // A script as Commence holds it: one opened, or one another check-in put
    // there while ours waited. Kept when it differs from the newest kept.
    virtual void Loaded(const FormLocation& form, std::string_view script) noexcept = 0;
};

// The recorder of this process, told by every ScriptTransfer, so that no
// check-in goes unrecorded whichever command made it; none at start.
[[nodiscard]] CheckInRecorder* InstalledCheckInRecorder() noexcept;

// Installs a recorder for its own lifetime and then puts back the one before.
class ScopedCheckInRecorder {
public:
    explicit ScopedCheckInRecorder(CheckInRecorder& recorder) noexcept;
    ~ScopedCheckInRecorder();
    ScopedCheckInRecorder(const ScopedCheckInRecorder&) = delete;
    ScopedCheckInRecorder& operator=(const ScopedCheckInRecorder&) = delete;

private:
    CheckInRecorder* previous_;
};

}  // namespace vk
