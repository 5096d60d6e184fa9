#include "filter_command.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iostream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <span>
#include <stdexcept>
#include <string>

#include "common/windows_1252.h"
#include "filters/filter_pages.h"
#include "filters/view_filter.h"
#include "filters/view_filter_reader.h"

namespace vk::cli {

namespace {

// Input objects are read into std::map-backed JSON: the insertion-ordered
// kind finds each key by a linear search, which makes a line of many keys
// quadratic. The order of the keys does not matter here (each sets its own
// input); the output keeps its order.
using InputJson = nlohmann::json;
using Json = nlohmann::ordered_json;

// JSON text is UTF-8; names in scripts and commands are Windows-1252.

// A bad input line; the message names what is wrong with it.
struct BadLine : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ComparePage {
    const char* compare;
    const char* min;
    const char* max;
    const char* matchCase;  // nullptr on pages without Match Case
    FilterComparePage ViewFilterInputs::*page;
    FilterPage which;
};

constexpr ComparePage kPages[] = {
    {"cbNameCompare", "edNameMin", "edNameMax", "xbNameMatchCase", &ViewFilterInputs::name,
     FilterPage::Name},
    {"cbTextCompare", "edTextMin", "edTextMax", "xbTextMatchCase", &ViewFilterInputs::text,
     FilterPage::Text},
    {"cbNumberCompare", "edNumberMin", "edNumberMax", nullptr, &ViewFilterInputs::number,
     FilterPage::Number},
    {"cbDateCompare", "edDateMin", "edDateMax", nullptr, &ViewFilterInputs::date, FilterPage::Date},
    {"cbTimeCompare", "edTimeMin", "edTimeMax", nullptr, &ViewFilterInputs::time, FilterPage::Time},
};

// The builder's state before the user touches it: every comparison box on
// its first entry.
ViewFilterInputs InitialInputs() {
    ViewFilterInputs in;
    for (const ComparePage& p : kPages) (in.*p.page).caption = ComparisonsOf(p.which).front();
    return in;
}

const InputJson& Typed(const InputJson& v, const std::string& key, bool ok, const char* what) {
    if (!ok) throw BadLine("\"" + key + "\" must be " + what);
    return v;
}

// An integer JSON number from `low` to `high`. A number above any signed
// 64-bit one is held unsigned and must not wrap round into range
// (18446744073709551615 is not -1).
int Integer(const InputJson& v, const std::string& key, int low, int high) {
    Typed(v, key, v.is_number_integer(), "an integer");
    const bool beyondSigned =
        v.is_number_unsigned() && v.get<std::uint64_t>() > static_cast<std::uint64_t>(LLONG_MAX);
    const long long n = beyondSigned ? LLONG_MAX : v.get<long long>();
    if (n < low || n > high)
        throw BadLine("\"" + key + "\" must be " + std::to_string(low) + " to " +
                      std::to_string(high));
    return static_cast<int>(n);
}

bool Boolean(const InputJson& v, const std::string& key) {
    return Typed(v, key, v.is_boolean(), "true or false").get<bool>();
}

std::string String(const InputJson& v, const std::string& key) {
    return Utf8ToWindows1252(Typed(v, key, v.is_string(), "a string").get<std::string>());
}

std::optional<FilterEntry> Entry(const InputJson& v, const std::string& key) {
    if (v.is_null()) return std::nullopt;
    Typed(v, key, v.is_object() && v.size() == 2 && v.contains("text") && v.contains("tag"),
          "null or an object with \"text\" and \"tag\"");
    return FilterEntry{String(v["text"], key + ".text"),
                       Integer(v["tag"], key + ".tag", -1000000, 1000000)};
}

// Sets the one input a key names; false when no input has that name.
bool SetInput(ViewFilterInputs& in, const std::string& key, const InputJson& v) {
    if (key == "filterNumber")
        in.filter_number = Integer(v, key, 1, 4);
    else if (key == "except")
        in.except = Boolean(v, key);
    else if (key == "quoteStyle")
        in.quote_style = Integer(v, key, 0, 2);
    else if (key == "field")
        in.field = Entry(v, key);
    else if (key == "filterBy")
        in.filter_by = Entry(v, key).value_or(FilterEntry{});
    else if (key == "rgCheckBox")
        in.checkbox = Integer(v, key, 0, 1);
    else if (key == "rbSelEquals")
        in.selection_equals = Boolean(v, key);
    else if (key == "edSelection")
        in.selection = String(v, key);
    else if (key == "rgShared")
        in.shared = Integer(v, key, 0, 1);
    else if (key == "edItemName")
        in.item_name = String(v, key);
    else {
        for (const ComparePage& p : kPages) {
            FilterComparePage& page = in.*p.page;
            if (key == p.compare) {
                const auto captions = ComparisonsOf(p.which);
                page.index = Integer(v, key, 0, static_cast<int>(captions.size()) - 1);
                page.caption = captions[static_cast<std::size_t>(page.index)];
            } else if (key == p.min) {
                page.min = String(v, key);
            } else if (key == p.max) {
                page.max = String(v, key);
            } else if (p.matchCase && key == p.matchCase) {
                page.match_case = Boolean(v, key);
            } else {
                continue;
            }
            return true;
        }
        return false;
    }
    return true;
}

// How deep arrays and objects may nest on a line. The builder's inputs
// nest two deep; a line of a million "[" would otherwise build a million
// nested values.
constexpr int kMaxNesting = 32;

// Refuses a line that nests deeper than kMaxNesting, in one pass, before
// anything is built from it.
void CheckNesting(std::string_view line) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxNesting)
                throw BadLine("nested deeper than " + std::to_string(kMaxNesting) + " levels");
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
}

ViewFilterInputs InputsFromJson(const std::string& line) {
    CheckNesting(line);
    InputJson object;
    try {
        object = InputJson::parse(line);
    } catch (const InputJson::exception& e) {
        // A syntax error, or a number no double holds (1e400).
        throw BadLine(std::string("not JSON: ") + e.what());
    }
    if (!object.is_object()) throw BadLine("not a JSON object");
    ViewFilterInputs in = InitialInputs();
    for (const auto& [key, value] : object.items())
        if (!SetInput(in, key, value)) throw BadLine("unknown key \"" + key + "\"");
    return in;
}

Json EntryJson(const FilterEntry& e) {
    return Json{{"text", Windows1252ToUtf8(e.text)}, {"tag", e.tag}};
}

// The keys of one read-back command: the filter, and the controls of the page
// the command uses.
Json JsonFromInputs(const ViewFilterInputs& in) {
    Json out;
    out["filterNumber"] = in.filter_number;
    out["except"] = in.except;
    out["quoteStyle"] = in.quote_style;
    out["field"] = EntryJson(*in.field);
    int tag = in.field->tag;
    if (tag < 0) {
        out["filterBy"] = EntryJson(in.filter_by);
        tag = in.filter_by.tag;
    }
    switch (PageOfTag(tag)) {
        case FilterPage::Connection:
            out["edItemName"] = Windows1252ToUtf8(in.item_name);
            break;
        case FilterPage::Selection:
            out["rbSelEquals"] = in.selection_equals;
            out["edSelection"] = Windows1252ToUtf8(in.selection);
            break;
        case FilterPage::Checkbox:
            out["rgCheckBox"] = in.checkbox;
            break;
        case FilterPage::SharedVsLocal:
            out["rgShared"] = in.shared;
            break;
        case FilterPage::AllItems:
            break;
        default:
            for (const ComparePage& p : kPages) {
                if (p.which != PageOfTag(tag)) continue;
                const FilterComparePage& page = in.*p.page;
                out[p.compare] = page.index;
                out[p.min] = Windows1252ToUtf8(page.min);
                out[p.max] = Windows1252ToUtf8(page.max);
                if (p.matchCase) out[p.matchCase] = page.match_case;
            }
    }
    return out;
}

std::string ReadBack(const std::string& line) {
    const ViewFilterReading reading = ReadViewFilter(line);
    if (!reading.inputs) throw BadLine(Windows1252ToUtf8(reading.problem));
    return JsonFromInputs(*reading.inputs).dump();
}

// Reads one line (without its LF) of at most kMaxFilterLineBytes; false at
// the end of the input. A longer line is refused before it is read whole.
bool ReadLine(std::istream& in, std::string& line) {
    line.clear();
    std::streambuf& buffer = *in.rdbuf();
    for (;;) {
        const int c = buffer.sbumpc();
        if (c == std::char_traits<char>::eof()) return !line.empty();
        if (c == '\n') return true;
        if (line.size() == kMaxFilterLineBytes)
            throw BadLine("longer than " + std::to_string(kMaxFilterLineBytes) + " bytes");
        line.push_back(static_cast<char>(c));
    }
}

}  // namespace

ExitCode ComposeFilters(std::istream& in, bool read, Streams io) {
    std::string line;
    for (long number = 1;; ++number) {
        try {
            if (!ReadLine(in, line)) break;
        } catch (const BadLine& e) {
            io.out.flush();
            io.err << "vellumkit-cli: line " << number << ": " << e.what() << '\n';
            return ExitCode::BadArguments;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        try {
            if (read)
                io.out << ReadBack(line) << '\n';
            else
                io.out << ComposeViewFilter(InputsFromJson(line)).value_or("") << '\n';
        } catch (const BadLine& e) {
            io.out.flush();
            io.err << "vellumkit-cli: line " << number << ": " << e.what() << '\n';
            return ExitCode::BadArguments;
        }
    }
    io.out.flush();
    if (!io.out) throw std::runtime_error("Cannot write the filters to standard output");
    return ExitCode::Success;
}

ExitCode ComposeFilters(const Invocation& call, Streams io) {
    return ComposeFilters(std::cin, call.read, io);
}

}  // namespace vk::cli
