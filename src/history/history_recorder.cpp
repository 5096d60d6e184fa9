#include "history/history_recorder.h"

#include <ctime>
#include <exception>
#include <utility>

namespace vk {

HistoryRecorder::HistoryRecorder(std::filesystem::path file, HistoryLimits limits, Warn warn)
    : warn_(std::move(warn)), store_(std::move(file), limits, [this](const std::string& report) {
          if (warn_) warn_(report);
      }) {}

template <typename Work>
void HistoryRecorder::Keep(std::string_view what, Work&& work) noexcept {
    try {
        work();
    } catch (const std::exception& e) {
        try {
            if (warn_)
                warn_("The local history could not keep the " + std::string(what) + ": " +
                      e.what());
        } catch (...) {
            // A warning that cannot be shown is lost; the script is not.
        }
    } catch (...) {
    }
}

void HistoryRecorder::CheckedIn(const FormLocation& form, std::string_view script) noexcept {
    Keep("script checked in",
         [&] { (void)store_.Add(form, script, VersionSource::CheckedIn, std::time(nullptr)); });
}

void HistoryRecorder::Loaded(const FormLocation& form, std::string_view script) noexcept {
    Keep("script loaded", [&] {
        (void)store_.AddIfChanged(form, script, VersionSource::Loaded, std::time(nullptr));
    });
}

void HistoryRecorder::Merged(const FormLocation& form, std::string_view script) noexcept {
    Keep("merged script",
         [&] { (void)store_.Add(form, script, VersionSource::Merged, std::time(nullptr)); });
}

}  // namespace vk
