#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "language/diagnostic.h"

namespace vk::language {

// The problems of one check as they are found. A text that is nothing but
// problems (a binary file, a file in another language) stops adding them
// after a bound, with a last problem that says so, so that memory and the
// time to show them stay bounded.
class ProblemList {
public:
    static constexpr std::size_t kMaxProblems = 1000;

    void Clear() {
        items_.clear();
        full_ = false;
    }
    void Add(Severity severity, DiagnosticCode code, TextRange range, std::string message);

    [[nodiscard]] bool Full() const noexcept { return full_; }
    [[nodiscard]] std::vector<Diagnostic>& Items() noexcept { return items_; }

private:
    std::vector<Diagnostic> items_;
    bool full_ = false;
};

}  // namespace vk::language
