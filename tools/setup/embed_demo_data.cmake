# cmake -DOUTPUT=<file.cpp> -DINPUTS=<a.sql;b.sql> -P embed_demo_data.cmake
# Writes a source file that holds each input's bytes, looked up by file stem
# through DemoDataFile() (demo_data.h).
set(body "")
set(lookup "")
set(index 0)
foreach(input IN LISTS INPUTS)
  get_filename_component(stem "${input}" NAME_WE)
  file(READ "${input}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND body "constexpr char kFile${index}[] = {${bytes}'\\0'};\n")
  string(APPEND lookup
    "    if (stem == \"${stem}\") return std::string_view(kFile${index}, sizeof kFile${index} - 1);\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from the demo data files; do not edit.
#include \"demo_data.h\"

namespace vk::setup {
namespace {
${body}}  // namespace

std::optional<std::string_view> DemoDataFile(std::string_view stem) {
${lookup}    return std::nullopt;
}

}  // namespace vk::setup
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
