#include "language/document_symbols.h"

#include <algorithm>

#include "browser/script_scanner.h"
#include "language/symbol_text.h"

namespace vk::language {
namespace {

TextRange LineAround(std::string_view text, std::uint32_t offset) {
    std::uint32_t begin = offset, end = offset;
    while (begin > 0 && text[begin - 1] != '\r' && text[begin - 1] != '\n') --begin;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    return RangeBetween(begin, end);
}

// The parsed procedure whose name holds `offset`.
const Procedure* ProcedureNamedAt(const SyntaxTree& tree, std::uint32_t offset) {
    const auto after =
        std::upper_bound(tree.procedures.begin(), tree.procedures.end(), offset,
                         [](std::uint32_t at, const Procedure& p) { return at < p.name.offset; });
    if (after == tree.procedures.begin()) return nullptr;
    const Procedure& p = *std::prev(after);
    return p.name.Contains(offset) ? &p : nullptr;
}

}  // namespace

std::vector<SymbolNode> DocumentSymbols(std::string_view text, const SyntaxTree& tree) {
    const ScanReport report = vk::ParseScript(text);  // the code browser's scanner
    SymbolNode events{"Events", {}, SymbolKind::Group, {}, {}, {}};
    SymbolNode others{"Subs/Functions", {}, SymbolKind::Group, {}, {}, {}};
    for (const ScanEntry& entry : report.entries) {
        const auto offset = static_cast<std::uint32_t>(entry.offset);
        SymbolNode node;
        node.name = entry.name;
        node.kind = entry.kind == ScanKind::Event ? SymbolKind::Event
                    : entry.kind == ScanKind::Sub ? SymbolKind::Sub
                                                  : SymbolKind::Function;
        node.selection = {offset, static_cast<std::uint32_t>(entry.name.size())};
        node.range = LineAround(text, offset);
        if (const Procedure* procedure = ProcedureNamedAt(tree, offset)) {
            node.range = procedure->range;
            node.detail = ProcedureSignature(tree, text, *procedure);
            // An event's name starts at Form_: select all of it.
            node.selection = procedure->name;
        }
        if (entry.state == ScanState::NoEnd) node.detail = "not terminated";
        // The range holds the selection, as outlines expect.
        if (node.selection.offset < node.range.offset || node.selection.End() > node.range.End())
            node.range = node.selection;
        (entry.kind == ScanKind::Event ? events : others).children.push_back(std::move(node));
    }
    std::vector<SymbolNode> roots;
    for (SymbolNode* group : {&events, &others}) {
        if (group->children.empty()) continue;
        const TextRange first = group->children.front().range;
        std::uint32_t end = 0;
        for (const SymbolNode& child : group->children) end = std::max(end, child.range.End());
        group->range = RangeBetween(first.offset, end);
        group->selection = {first.offset, 0};
        roots.push_back(std::move(*group));
    }
    return roots;
}

}  // namespace vk::language
