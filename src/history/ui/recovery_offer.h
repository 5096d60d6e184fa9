#pragma once

#include <filesystem>

namespace vk {

class TEditingContext;
class TfMain;
class TScriptKeeper;

// At start: offers, newest first, the unsaved changes that editors which
// crashed or were killed left in `folder` (TfRecoverScript). Restore opens
// their form as the menus would and puts them into the editor; Discard
// throws them away once the user confirms; Not now keeps them for the next
// start. One restored ends the offers, the others wait for a later start,
// as the editor holds one script. True when one was restored.
bool OfferRecovery(TfMain& main, TEditingContext& context, TScriptKeeper& keeper,
                   const std::filesystem::path& folder);

}  // namespace vk
