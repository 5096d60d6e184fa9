#include "commence/field_list.h"

#include "common/text_helpers.h"

namespace vk {
namespace {

constexpr int kTypeWithSubKind = 22;

int KindOfType(int type) {
    switch (type) {
        case 0:
            return 0;
        case 1:
            return 1;
        case 2:
            return 2;
        case 3:
            return 3;
        case 7:
            return 4;
        case 11:
            return 5;
        case 12:
            return 6;
        case 13:
            return 7;
        case 14:
            return 8;
        case 15:
            return 9;
        case 20:
            return 10;
        case 21:
            return 11;
        case 23:
            return 13;
        case 24:
            return 14;
        default:
            return kUnknownFieldKind;
    }
}

}  // namespace

int FieldKindFromDefinition(const std::vector<std::string>& definitionLines) {
    // A missing first line (an empty or timed-out reply) is as bad as a
    // non-number: both end the load with a conversion error.
    const int type = StrToInt(definitionLines.empty() ? std::string_view{} : definitionLines[0]);
    if (type != kTypeWithSubKind) return KindOfType(type);
    const bool zero =
        definitionLines.size() > 1 && definitionLines[1].size() > 5 && definitionLines[1][5] == '0';
    return zero ? 12 : 15;
}

std::vector<FieldListEntry> ConnectionEntries(const std::vector<std::string>& lines) {
    std::vector<FieldListEntry> entries;
    const std::size_t pairs = lines.size() / 2;
    entries.reserve(pairs);
    for (std::size_t i = 0; i < pairs; ++i) {
        const std::string& connection = lines[2 * i];
        const std::string& category = lines[2 * i + 1];
        entries.push_back(
            {connection + ' ' + category, -(static_cast<int>(connection.size()) + 1)});
    }
    return entries;
}

std::string_view ConnectionNameOf(const FieldListEntry& entry) {
    if (entry.tag >= 0) return {};
    const auto length = static_cast<std::size_t>(-entry.tag - 1);
    return std::string_view(entry.text).substr(0, length);
}

}  // namespace vk
