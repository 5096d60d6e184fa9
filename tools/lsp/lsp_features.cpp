// The requests of the protocol's text document features, each a thin
// conversion between the protocol's JSON and the core's editing help.

#include <algorithm>
#include <functional>

#include "common/windows_1252.h"
#include "document_state.h"
#include "language/block_format.h"
#include "language/completion.h"
#include "language/document_symbols.h"
#include "language/hover.h"
#include "language/navigation.h"
#include "language/signature_help.h"
#include "language_server.h"
#include "settings/settings.h"

namespace vk::lsp {
namespace {

using language::TextRange;
using nlohmann::json;

std::string Utf8(std::string_view windows1252) { return Windows1252ToUtf8(windows1252); }

int CompletionKindNumber(language::CompletionKind kind) {
    using K = language::CompletionKind;
    switch (kind) {
        case K::Keyword:
            return 14;
        case K::Function:
        case K::Procedure:
            return 3;
        case K::Constant:
            return 21;
        case K::Object:
            return 9;
        case K::Class:
            return 7;
        case K::Variable:
        case K::Parameter:
            return 6;
        case K::Event:
            return 23;
        case K::Member:
            return 10;
        case K::Field:
            return 5;
        case K::Connection:
            return 18;
        case K::Category:
            return 12;
    }
    return 1;
}

int SymbolKindNumber(language::SymbolKind kind) {
    switch (kind) {
        case language::SymbolKind::Group:
            return 3;  // Namespace
        case language::SymbolKind::Event:
            return 24;
        case language::SymbolKind::Sub:
        case language::SymbolKind::Function:
            return 12;
    }
    return 12;
}

}  // namespace

std::uint32_t LanguageServer::OffsetIn(const Document& document, const json& position) const {
    return document.text.OffsetOf(
        {position.at("line").get<std::uint32_t>(), position.at("character").get<std::uint32_t>()});
}

json LanguageServer::RangeJson(const Document& document, TextRange range) const {
    const Position start = document.text.PositionOf(range.offset);
    const Position end = document.text.PositionOf(range.End());
    return {{"start", {{"line", start.line}, {"character", start.character}}},
            {"end", {{"line", end.line}, {"character", end.character}}}};
}

const language::CategorySchema* LanguageServer::SchemaOf(const Document& document) {
    if (!document.home) return nullptr;
    const language::CategorySchema& schema =
        schemas_.Schema(document.home->database, document.home->category);
    const std::string problem = schemas_.Problem(document.home->database, document.home->category);
    if (!problem.empty()) return nullptr;
    return &schema;
}

json LanguageServer::Completion(const json& params) {
    Document& document = DocumentOf(params);
    const language::ScriptCheck& check = Checked(document);
    const std::uint32_t offset = OffsetIn(document, params.at("position"));
    language::CompletionSources sources;
    sources.reference = reference_.get();
    sources.schema = SchemaOf(document);
    const std::optional<ScriptHome> home = document.home;
    sources.otherCategory = [this,
                             home](std::string_view category) -> const language::CategorySchema* {
        if (!home) return nullptr;
        const language::CategorySchema& schema = schemas_.Schema(home->database, category);
        return schemas_.Problem(home->database, category).empty() ? &schema : nullptr;
    };
    const language::CompletionList list =
        language::Complete(document.text.Bytes(), check.tree, offset, sources);
    const json range = RangeJson(document, list.replace);
    json items = json::array();
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        const language::CompletionItem& item = list.items[i];
        // The items come best first; sortText keeps that order in the client.
        std::string order = std::to_string(i);
        order.insert(0, order.size() < 5 ? 5 - order.size() : 0, '0');
        json entry = {
            {"label", Utf8(item.label)},
            {"kind", CompletionKindNumber(item.kind)},
            {"sortText", order},
            {"filterText", Utf8(item.label)},
            {"textEdit",
             {{"range", range},
              {"newText", Utf8(item.insertText.empty() ? item.label : item.insertText)}}}};
        if (!item.detail.empty()) entry["detail"] = Utf8(item.detail);
        if (!item.documentation.empty()) entry["documentation"] = Utf8(item.documentation);
        items.push_back(std::move(entry));
    }
    return {{"isIncomplete", list.incomplete}, {"items", std::move(items)}};
}

json LanguageServer::Hover(const json& params) {
    Document& document = DocumentOf(params);
    const language::ScriptCheck& check = Checked(document);
    const auto info =
        language::HoverAt(document.text.Bytes(), check.tree,
                          OffsetIn(document, params.at("position")), reference_.get());
    if (!info) return nullptr;
    std::string value = "```vb\n" + Utf8(info->syntax) + "\n```";
    if (!info->summary.empty()) value += "\n\n" + Utf8(info->summary);
    return {{"contents", {{"kind", "markdown"}, {"value", value}}},
            {"range", RangeJson(document, info->range)}};
}

json LanguageServer::SignatureHelp(const json& params) {
    Document& document = DocumentOf(params);
    const language::ScriptCheck& check = Checked(document);
    const auto help =
        language::SignatureAt(document.text.Bytes(), check.tree,
                              OffsetIn(document, params.at("position")), reference_.get());
    if (!help) return nullptr;
    json parameters = json::array();
    // Offsets into the label count UTF-16 code units: one per byte here.
    for (const TextRange p : help->parameters)
        parameters.push_back({{"label", {p.offset, p.End()}}});
    json signature = {{"label", Utf8(help->label)}, {"parameters", std::move(parameters)}};
    if (!help->documentation.empty()) signature["documentation"] = Utf8(help->documentation);
    return {{"signatures", json::array({std::move(signature)})},
            {"activeSignature", 0},
            {"activeParameter", help->active}};
}

json LanguageServer::DocumentSymbols(const json& params) {
    Document& document = DocumentOf(params);
    const language::ScriptCheck& check = Checked(document);
    const std::function<json(const language::SymbolNode&)> toJson =
        [&](const language::SymbolNode& node) {
            json symbol = {{"name", Utf8(node.name)},
                           {"kind", SymbolKindNumber(node.kind)},
                           {"range", RangeJson(document, node.range)},
                           {"selectionRange", RangeJson(document, node.selection)}};
            if (!node.detail.empty()) symbol["detail"] = Utf8(node.detail);
            if (!node.children.empty()) {
                json children = json::array();
                for (const language::SymbolNode& child : node.children)
                    children.push_back(toJson(child));
                symbol["children"] = std::move(children);
            }
            return symbol;
        };
    json symbols = json::array();
    for (const language::SymbolNode& root :
         language::DocumentSymbols(document.text.Bytes(), check.tree))
        symbols.push_back(toJson(root));
    return symbols;
}

json LanguageServer::Definition(const json& params) {
    Document& document = DocumentOf(params);
    const language::ScriptCheck& check = Checked(document);
    const auto range = language::DefinitionAt(document.text.Bytes(), check.tree,
                                              OffsetIn(document, params.at("position")));
    if (!range) return nullptr;
    return {{"uri", document.uri}, {"range", RangeJson(document, *range)}};
}

json LanguageServer::References(const json& params) {
    Document& document = DocumentOf(params);
    const language::ScriptCheck& check = Checked(document);
    bool withDeclaration = false;
    if (const auto context = params.find("context"); context != params.end())
        withDeclaration = context->value("includeDeclaration", false);
    json locations = json::array();
    for (const TextRange range :
         language::ReferencesAt(document.text.Bytes(), check.tree,
                                OffsetIn(document, params.at("position")), withDeclaration))
        locations.push_back({{"uri", document.uri}, {"range", RangeJson(document, range)}});
    return locations;
}

json LanguageServer::PrepareRename(const json& params) {
    Document& document = DocumentOf(params);
    const language::ScriptCheck& check = Checked(document);
    const language::RenamePlan plan = language::PrepareRename(
        document.text.Bytes(), check, OffsetIn(document, params.at("position")));
    if (!plan.refusal.empty()) throw RequestFailure(plan.refusal);
    return {
        {"range", RangeJson(document, plan.name)},
        {"placeholder", Utf8(document.text.Bytes().substr(plan.name.offset, plan.name.length))}};
}

json LanguageServer::Rename(const json& params) {
    Document& document = DocumentOf(params);
    const language::ScriptCheck& check = Checked(document);
    const std::string newName = FromUtf8(params.at("newName").get<std::string>());
    const language::RenamePlan plan = language::PlanRename(
        document.text.Bytes(), check, OffsetIn(document, params.at("position")), newName);
    if (!plan.refusal.empty()) throw RequestFailure(plan.refusal);
    json edits = json::array();
    for (const language::TextEdit& edit : plan.edits)
        edits.push_back(
            {{"range", RangeJson(document, edit.range)}, {"newText", Utf8(edit.newText)}});
    return {{"changes", {{document.uri, std::move(edits)}}}};
}

json LanguageServer::Formatting(const json& params, bool range) {
    Document& document = DocumentOf(params);
    const language::ScriptCheck& check = Checked(document);
    for (const language::Diagnostic& problem : check.diagnostics)
        if (problem.code == language::DiagnosticCode::Syntax)
            throw RequestFailure("Line " + std::to_string(problem.position.line) +
                                 " has a syntax error (" + problem.message +
                                 "); correct it first, so that the blocks are known");
    language::IndentOptions indent;
    if (indentFromClient_) {
        const json& options = params.at("options");
        indent.tabWidth = std::clamp(options.value("tabSize", 3), 1, 16);
        indent.style = options.value("insertSpaces", false) ? 1 : 0;
    } else {
        // The editor's own settings, as its block indent uses them.
        const TSettings settings(registry_);
        indent.tabWidth = std::clamp<int>(settings.tabWidth, 1, 16);
        indent.style = settings.indentStyle == 1 ? 1 : 0;
    }
    std::uint32_t first = 1, last = document.text.LineCount();
    if (range) {
        const json& span = params.at("range");
        first = span.at("start").at("line").get<std::uint32_t>() + 1;
        const json& end = span.at("end");
        last = end.at("line").get<std::uint32_t>() + 1;
        // A range that ends at the start of a line leaves that line out.
        if (end.at("character").get<std::uint32_t>() == 0 && last > first) --last;
    }
    json edits = json::array();
    for (const language::TextEdit& edit :
         language::Reindent(document.text.Bytes(), check.tree, indent, first, last))
        edits.push_back({{"range", RangeJson(document, edit.range)}, {"newText", edit.newText}});
    return edits;
}

}  // namespace vk::lsp
