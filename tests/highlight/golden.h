#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace vk::test {

// Compares `actual` byte for byte with tests/highlight/golden/<name>. On a
// mismatch (or a missing file) writes <name>.new beside it for review.
inline ::testing::AssertionResult MatchesGolden(const std::string& name,
                                                const std::string& actual) {
    const std::filesystem::path golden =
        std::filesystem::path(VK_SOURCE_DIR) / "tests" / "highlight" / "golden" / name;
    const std::filesystem::path fresh = golden.string() + ".new";
    std::string expected;
    bool found = std::filesystem::exists(golden);
    if (found) expected = ReadFileBytes(golden);
    if (found && expected == actual) {
        std::filesystem::remove(fresh);
        return ::testing::AssertionSuccess();
    }
    WriteFileBytes(fresh, actual);
    if (!found) return ::testing::AssertionFailure() << "no golden file; wrote " << fresh;
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    return ::testing::AssertionFailure()
           << "differs from " << golden << " at byte " << at << "; wrote " << fresh;
}

}  // namespace vk::test
