#include "commence/check_in_recorder.h"

namespace vk {
namespace {

// One thread runs every command, so the pointer needs no lock.
CheckInRecorder* installed = nullptr;

}  // namespace

CheckInRecorder* InstalledCheckInRecorder() noexcept { return installed; }

ScopedCheckInRecorder::ScopedCheckInRecorder(CheckInRecorder& recorder) noexcept
    : previous_(installed) {
    installed = &recorder;
}

ScopedCheckInRecorder::~ScopedCheckInRecorder() { installed = previous_; }

}  // namespace vk
