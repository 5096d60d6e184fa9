// A script line given to the Filter Builder may hold anything: reading a
// ViewFilter command back never crashes, and what it reads composes to
// exactly the command's text on the line.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "filters/view_filter.h"
#include "filters/view_filter_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const vk::ViewFilterReading reading = vk::ReadViewFilter(line);
    if (reading.end > line.size() || reading.begin > reading.end) std::abort();
    if (!reading.inputs) return 0;
    const auto composed = vk::ComposeViewFilter(*reading.inputs);
    if (!composed || *composed != line.substr(reading.begin, reading.end - reading.begin))
        std::abort();
    return 0;
}
