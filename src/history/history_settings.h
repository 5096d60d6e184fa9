#pragma once

#include "history/history_store.h"

namespace vk {

class TSettings;

// The limits of the local history as the user set them ("Versions per form",
// "Megabytes in all"); a negative value counts as 0, which keeps only the
// newest version.
[[nodiscard]] HistoryLimits HistoryLimitsFrom(const TSettings& settings);

}  // namespace vk
