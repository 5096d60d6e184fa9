#include "commence/database_menu.h"

#include <algorithm>
#include <locale>
#include <stdexcept>

#include "commence/commands.h"
#include "commence/conversation.h"
#include "commence/database_directory.h"
#include "commence/menu_columns.h"

namespace vk {
namespace {

// Upper case of a Windows-1252 character: ASCII and Latin-1 letters, and the
// four letters that Windows-1252 keeps in 0x80-0x9F (š, œ, ž, ÿ).
constexpr unsigned char UpperAnsi(unsigned char c) noexcept {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A:
            return 0x8A;
        case 0x9C:
            return 0x8C;
        case 0x9E:
            return 0x8E;
        case 0xFF:
            return 0x9F;
        default:
            return c;
    }
}

std::string UpperAnsi(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(UpperAnsi(static_cast<unsigned char>(c)));
    return upper;
}

std::locale UserLocale() {
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
}

}  // namespace

NameOrder LocaleNameOrder() {
    return [locale = UserLocale()](std::string_view a, std::string_view b) {
        const auto& collate = std::use_facet<std::collate<char>>(locale);
        const std::string upperA = UpperAnsi(a);
        const std::string upperB = UpperAnsi(b);
        return collate.compare(upperA.data(), upperA.data() + upperA.size(), upperB.data(),
                               upperB.data() + upperB.size()) < 0;
    };
}

std::vector<DatabaseMenuItem> BuildDatabaseMenu(Registry& registry, bool noDdeCheck,
                                                const NameOrder& order) {
    std::vector<std::string> names = DatabaseNames(registry);
    std::stable_sort(names.begin(), names.end(),
                     [&order](const std::string& a, const std::string& b) { return order(a, b); });

    std::vector<DatabaseMenuItem> items;
    items.reserve(names.size());
    // One conversation for the whole build, without a launch command line:
    // the check asks which databases are open; it does not start Commence for
    // each of them.
    DdeConversation conversation;
    for (std::size_t i = 0; i < names.size(); ++i) {
        DatabaseMenuItem item{names[i], StartsMenuColumn(i), false};
        if (!noDdeCheck) {
            conversation.SetLink(commands::kService, item.name);
            if (conversation.OpenLink() || conversation.IsOpen()) {
                conversation.CloseLink();
                item.checked = true;
            }
        }
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace vk
