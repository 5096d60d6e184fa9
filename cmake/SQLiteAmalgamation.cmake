# SQLite for builds where no system SQLite can be linked (the MinGW cross
# build): the amalgamation is unpacked into the build tree by
# scripts/fetch-sqlite.sh, which pins its version and checksum, and built as
# a static library under the name find_package(SQLite3) gives.
set(VK_SQLITE_DIR "${CMAKE_BINARY_DIR}/_deps/sqlite" CACHE PATH
    "Folder holding sqlite3.c and sqlite3.h")
if(NOT EXISTS "${VK_SQLITE_DIR}/sqlite3.c")
  execute_process(
    COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/fetch-sqlite.sh" "${VK_SQLITE_DIR}"
    RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0)
    message(FATAL_ERROR "Could not unpack the SQLite amalgamation into ${VK_SQLITE_DIR}")
  endif()
endif()

enable_language(C)
add_library(vk_sqlite3 STATIC "${VK_SQLITE_DIR}/sqlite3.c")
target_include_directories(vk_sqlite3 SYSTEM PUBLIC "${VK_SQLITE_DIR}")
target_compile_definitions(vk_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
# Third-party code: its warnings are not ours to fix.
target_compile_options(vk_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS vk_sqlite3)
