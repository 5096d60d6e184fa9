#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "commence/check_in_recorder.h"
#include "history/history_store.h"

namespace vk {

// Keeps the scripts that go in and out of Commence in the local history. The
// history never stands in the way: what it cannot keep is a warning to
// `warn` (the editor's warnings panel, the tool's standard error), and the
// check-in or load goes on as if it had been kept.
class HistoryRecorder final : public CheckInRecorder {
public:
    using Warn = std::function<void(const std::string&)>;

    HistoryRecorder(std::filesystem::path file, HistoryLimits limits, Warn warn);

    // A check-in Commence stored: always a new version ("checked in").
    void CheckedIn(const FormLocation& form, std::string_view script) noexcept override;

    // A script as Commence gave it on opening: a new version ("loaded") only
    // when it differs from the newest kept.
    void Loaded(const FormLocation& form, std::string_view script) noexcept override;

    // The result of merging the editor's script with a change made in
    // Commence: always a new version ("merged").
    void Merged(const FormLocation& form, std::string_view script) noexcept;

    [[nodiscard]] HistoryStore& Store() { return store_; }

private:
    template <typename Work>
    void Keep(std::string_view what, Work&& work) noexcept;

    Warn warn_;
    HistoryStore store_;
};

}  // namespace vk
