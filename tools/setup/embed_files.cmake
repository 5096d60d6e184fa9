# cmake -DOUTPUT=<file.cpp> -DINPUTS=<a.htm;b.htm> -DFUNCTION=<name> -P embed_files.cmake
# Writes a source file whose function <name>() (declared in embedded_files.h)
# returns every input's file name and bytes, in the order given.
set(body "")
set(table "")
set(index 0)
foreach(input IN LISTS INPUTS)
  get_filename_component(name "${input}" NAME)
  file(READ "${input}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND body "constexpr char kFile${index}[] = {${bytes}'\\0'};\n")
  string(APPEND table "    {\"${name}\", std::string_view(kFile${index}, sizeof kFile${index} - 1)},\n")
  math(EXPR index "${index} + 1")
endforeach()
if(index EQUAL 0)
  set(table "    {\"\", std::string_view()},\n")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from the files it holds; do not edit.
#include \"embedded_files.h\"

namespace vk::setup {
namespace {
${body}
constexpr EmbeddedFile kFiles[] = {
${table}};
}  // namespace

std::span<const EmbeddedFile> ${FUNCTION}() {
    return std::span<const EmbeddedFile>(kFiles, ${index});
}

}  // namespace vk::setup
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
