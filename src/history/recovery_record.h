#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "commence/form_location.h"

namespace vk {

// What an editor with unsaved changes leaves behind so that a crash loses
// nothing: the form, when the record was written, what Commence held when
// the script was opened (the base) and the editor's text.
struct RecoveryRecord {
    FormLocation form;
    std::int64_t savedAt = 0;  // seconds since 1970-01-01 UTC
    std::string base;
    std::string text;
};

// The record as bytes: a first line that names the format, then each field
// with its length (and the texts with their CRC-32), so names and scripts
// are kept byte for byte whatever they hold:
//
//   Vellumkit recovery 1
//   database 10
//   Demo Sales
//   ...
//   text 1234 89abcdef
//   <1234 bytes>
//   end
[[nodiscard]] std::string EncodeRecovery(const RecoveryRecord& record);

// The record back; nothing, and `why` says what is wrong, for bytes that
// are not a whole record (cut short, altered, or not one at all).
[[nodiscard]] std::optional<RecoveryRecord> DecodeRecovery(std::string_view bytes,
                                                           std::string* why = nullptr);

}  // namespace vk
