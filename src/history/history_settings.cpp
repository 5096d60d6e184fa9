#include "history/history_settings.h"

#include <algorithm>

#include "settings/settings.h"

namespace vk {

HistoryLimits HistoryLimitsFrom(const TSettings& settings) {
    HistoryLimits limits;
    limits.versionsPerForm = static_cast<std::size_t>(std::max(settings.historyVersionsPerForm, 0));
    limits.totalBytes =
        static_cast<std::uint64_t>(std::max(settings.historyMegabytes, 0)) * 1000u * 1000u;
    return limits;
}

}  // namespace vk
