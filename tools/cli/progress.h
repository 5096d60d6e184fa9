#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace vk::cli {

// A one-line count of a long run over many scripts ("pull 3/20 Account/
// Account"), rewritten in place on standard error when that is a terminal and
// the run is not --quiet; nothing otherwise, so piped output and logs stay
// clean. The line is cleared when the run ends, also on an exception.
class Progress {
public:
    Progress(std::ostream& err, std::string_view verb, bool quiet);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void SetTotal(std::size_t total) { total_ = total; }
    // Shows that the step-th script (from 1), named `what`, is under way.
    void Step(std::size_t step, std::string_view what);
    // Clears the line before a message of the run is printed.
    void Clear();

private:
    std::ostream& err_;
    std::string verb_;
    bool shown_;
    std::size_t total_ = 0;
    bool drawn_ = false;
};

}  // namespace vk::cli
