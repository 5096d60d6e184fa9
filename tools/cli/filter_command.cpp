#include "filter_command.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <span>
#include <stdexcept>
#include <string>

#include "filters/filter_pages.h"
#include "filters/view_filter.h"
#include "filters/view_filter_reader.h"

namespace vk::cli {

namespace {

using Json = nlohmann::ordered_json;

// JSON text is UTF-8; names in scripts and commands are Windows-1252, whose
// 0x80-0x9F hold these characters (the five unassigned bytes map to the C1
// controls, as Windows maps them).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        const char32_t c = byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The JSON parser has checked the UTF-8; characters Windows-1252 cannot
// hold become '?', as Windows' own conversion does.
std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + static_cast<std::size_t>(k) < text.size(); ++k)
            c = (c << 6) |
                (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        i += static_cast<std::size_t>(extra) + 1;
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            out += static_cast<char>(c);
            continue;
        }
        const auto* high = std::find(std::begin(kCp1252High), std::end(kCp1252High), c);
        out += high != std::end(kCp1252High) ? static_cast<char>(0x80 + (high - kCp1252High)) : '?';
    }
    return out;
}

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

const Json& Typed(const Json& v, const std::string& key, bool ok, const char* what) {
    if (!ok) throw BadLine("\"" + key + "\" must be " + what);
    return v;
}

int Integer(const Json& v, const std::string& key, int low, int high) {
    Typed(v, key, v.is_number_integer(), "an integer");
    const auto n = v.get<long long>();
    if (n < low || n > high)
        throw BadLine("\"" + key + "\" must be " + std::to_string(low) + " to " +
                      std::to_string(high));
    return static_cast<int>(n);
}

bool Boolean(const Json& v, const std::string& key) {
    return Typed(v, key, v.is_boolean(), "true or false").get<bool>();
}

std::string String(const Json& v, const std::string& key) {
    return Utf8ToCp1252(Typed(v, key, v.is_string(), "a string").get<std::string>());
}

std::optional<FilterEntry> Entry(const Json& v, const std::string& key) {
    if (v.is_null()) return std::nullopt;
    Typed(v, key, v.is_object() && v.size() == 2 && v.contains("text") && v.contains("tag"),
          "null or an object with \"text\" and \"tag\"");
    return FilterEntry{String(v["text"], key + ".text"),
                       Integer(v["tag"], key + ".tag", -1000000, 1000000)};
}

// Sets the one input a key names; false when no input has that name.
bool SetInput(ViewFilterInputs& in, const std::string& key, const Json& v) {
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

ViewFilterInputs InputsFromJson(const std::string& line) {
    Json object;
    try {
        object = Json::parse(line);
    } catch (const Json::parse_error& e) {
        throw BadLine(std::string("not JSON: ") + e.what());
    }
    if (!object.is_object()) throw BadLine("not a JSON object");
    ViewFilterInputs in = InitialInputs();
    for (const auto& [key, value] : object.items())
        if (!SetInput(in, key, value)) throw BadLine("unknown key \"" + key + "\"");
    return in;
}

Json EntryJson(const FilterEntry& e) {
    return Json{{"text", Cp1252ToUtf8(e.text)}, {"tag", e.tag}};
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
            out["edItemName"] = Cp1252ToUtf8(in.item_name);
            break;
        case FilterPage::Selection:
            out["rbSelEquals"] = in.selection_equals;
            out["edSelection"] = Cp1252ToUtf8(in.selection);
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
                out[p.min] = Cp1252ToUtf8(page.min);
                out[p.max] = Cp1252ToUtf8(page.max);
                if (p.matchCase) out[p.matchCase] = page.match_case;
            }
    }
    return out;
}

std::string ReadBack(const std::string& line) {
    const ViewFilterReading reading = ReadViewFilter(line);
    if (!reading.inputs) throw BadLine(Cp1252ToUtf8(reading.problem));
    return JsonFromInputs(*reading.inputs).dump();
}

}  // namespace

ExitCode ComposeFilters(std::istream& in, bool read, Streams io) {
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
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
