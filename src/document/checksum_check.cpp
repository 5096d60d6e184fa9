#include "document/checksum_check.h"

#include <algorithm>

#include "common/messages.h"
#include "common/status_sink.h"
#include "document/script_checksum.h"
#include "document/tag_lines.h"

namespace vk {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::uint32_t kDefaultScriptChecksum = 0xfc177257u;

}  // namespace

ChecksumVerdict VerifyChecksum(std::string_view text) {
    ChecksumVerdict verdict;
    const auto tag = text.find(kChecksumTagPrefix);
    if (tag == std::string_view::npos) return verdict;

    const auto before = text.rfind(kLineEnd, tag);
    const std::size_t lineStart = before == std::string_view::npos ? 0 : before + kLineEnd.size();
    auto lineEnd = text.find(kLineEnd, tag);
    if (lineEnd == std::string_view::npos) lineEnd = text.size();
    const std::size_t nextLine = std::min(text.size(), lineEnd + kLineEnd.size());

    std::string rest;
    rest.reserve(text.size() - (nextLine - lineStart));
    rest.append(text.substr(0, lineStart)).append(text.substr(nextLine));
    verdict.computed = ScriptChecksum(rest);

    const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
    verdict.stored = std::string(line.substr(std::min<std::size_t>(8, line.size()), 8));
    verdict.outcome = verdict.stored == FormatChecksum(verdict.computed)
                          ? ChecksumVerdict::Outcome::Correct
                          : ChecksumVerdict::Outcome::Wrong;
    return verdict;
}

std::string WrongChecksumMessage(const ChecksumVerdict& verdict) {
    return "This script's checksum is not correct.\rThe calculated checksum is " +
           FormatChecksum(verdict.computed) + "\rThe stored checksum is " + verdict.stored;
}

void VerifyChecksumTag(std::string_view canonicalText, StatusSink& status,
                       MessageService& messages) {
    const ChecksumVerdict verdict = VerifyChecksum(canonicalText);
    switch (verdict.outcome) {
        case ChecksumVerdict::Outcome::NotFound:
            status.SetStatus(kChecksumNotFound, 1);
            break;
        case ChecksumVerdict::Outcome::Correct:
            status.SetStatus(kChecksumCorrect, 1);
            break;
        case ChecksumVerdict::Outcome::Wrong:
            messages.Show(WrongChecksumMessage(verdict), MessageIcon::Warning, MessageButtons::Ok);
            break;
    }
}

std::string ShowChecksumMessage(std::uint32_t checksum) {
    std::string text = "The CRC32 checksum for the current script is " + FormatChecksum(checksum);
    if (checksum == 0) text += "\r\nThis indicates there is no script.";
    if (checksum == kDefaultScriptChecksum)
        text += "\r\nThis script is the Commence default script.";
    return text;
}

void ShowChecksum(std::string_view canonicalText, MessageService& messages) {
    messages.Show(ShowChecksumMessage(ScriptChecksum(canonicalText)), MessageIcon::Information,
                  MessageButtons::Ok);
}

}  // namespace vk
