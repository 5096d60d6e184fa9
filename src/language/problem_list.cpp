#include "language/problem_list.h"

#include <algorithm>
#include <utility>

namespace vk::language {

void ProblemList::Add(Severity severity, DiagnosticCode code, TextRange range,
                      std::string message) {
    if (full_) return;
    if (items_.size() + 1 == kMaxProblems) {
        full_ = true;
        const bool anyError = severity == Severity::Error ||
                              std::any_of(items_.begin(), items_.end(), [](const Diagnostic& d) {
                                  return d.severity == Severity::Error;
                              });
        items_.push_back(
            {anyError ? Severity::Error : Severity::Warning,
             DiagnosticCode::Refused,
             range,
             {},
             "Too many problems: the first " + std::to_string(kMaxProblems - 1) + " are shown"});
        return;
    }
    items_.push_back({severity, code, range, {}, std::move(message)});
}

}  // namespace vk::language
