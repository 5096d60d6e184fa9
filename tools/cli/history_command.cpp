#include "history_command.h"

#include <charconv>
#include <ctime>
#include <filesystem>
#include <ostream>

#include "cli_output.h"
#include "document/script_checksum.h"
#include "document/script_lines.h"
#include "history/history_store.h"
#include "history/unified_diff.h"

namespace vk::cli {
namespace {

// "2026-12-11 10:06:21" in local time.
std::string LocalTime(std::int64_t seconds) {
    const auto when = static_cast<std::time_t>(seconds);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    char text[32] = {};
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) return "?";
    return text;
}

const HistoryVersion* Find(const std::vector<HistoryVersion>& versions, std::int64_t number) {
    for (const HistoryVersion& v : versions)
        if (v.number == number) return &v;
    return nullptr;
}

}  // namespace

std::optional<std::int64_t> ParseVersionNumber(std::string_view text) {
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || text[0] == '-' || text[0] == '+' || error != std::errc() ||
        end != text.data() + text.size() || number < 1)
        return std::nullopt;
    return number;
}

ExitCode ShowHistory(const Invocation& call, Streams io) {
    const FormLocation form{call.operands.at(0), call.operands.at(1), call.operands.at(2)};
    const std::string name = form.database + " " + form.category + "/" + form.form;
    HistoryStore store(
        HistoryStore::DefaultFile(), HistoryLimits{},
        [&](const std::string& report) { PrintMessage(io.err, "vellumkit-cli: " + report); });
    // Looking does not make a history where there is none.
    std::error_code ec;
    const bool kept = std::filesystem::exists(store.File(), ec);
    const std::vector<HistoryVersion> versions =
        kept ? store.Versions(form) : std::vector<HistoryVersion>{};

    const auto text = [&](std::int64_t number) -> std::optional<std::string> {
        if (!Find(versions, number)) {
            io.err << "vellumkit-cli: the local history holds no version " << number << " of "
                   << name << " (without --show and --diff the command lists them)\n";
            return std::nullopt;
        }
        auto bytes = store.Text(form, number);
        if (!bytes)
            throw Exception("Version " + std::to_string(number) + " of " + name +
                            " went from the local history");
        return bytes;
    };

    if (call.show) {
        const auto script = text(*call.show);
        if (!script) return ExitCode::BadArguments;
        io.out.write(script->data(), static_cast<std::streamsize>(script->size()));
    } else if (call.diff) {
        const auto [from, to] = *call.diff;
        const auto before = text(from);
        const auto after = before ? text(to) : std::nullopt;
        if (!before || !after) return ExitCode::BadArguments;
        const auto label = [&](std::int64_t number) {
            return "version " + std::to_string(number) + '\t' +
                   LocalTime(Find(versions, number)->time);
        };
        const std::string diff =
            UnifiedDiff(SplitScriptText(*before), SplitScriptText(*after), label(from), label(to));
        io.out << diff;
        if (diff.empty() && *before != *after)
            io.err << "vellumkit-cli: versions " << from << " and " << to
                   << " differ only in their line ends\n";
    } else {
        if (versions.empty())
            io.err << "vellumkit-cli: the local history holds no version of " << name << '\n';
        for (const HistoryVersion& v : versions) {
            io.out << v.number << '\t' << LocalTime(v.time) << '\t' << v.size << '\t'
                   << FormatChecksum(v.checksum) << '\t' << SourceName(v.source) << '\n';
        }
    }
    io.out.flush();
    if (!io.out) throw Exception("Cannot write to standard output");
    return ExitCode::Success;
}

}  // namespace vk::cli
