if(VK_BUILD_UI)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets Test)
endif()
if(CMAKE_CROSSCOMPILING AND WIN32)
  # No SQLite is packaged for MinGW: it is built from the amalgamation that
  # scripts/fetch-sqlite.sh unpacks (pinned by version and checksum).
  include(cmake/SQLiteAmalgamation.cmake)
else()
  find_package(SQLite3 REQUIRED)
endif()
if(NOT WIN32)
  find_package(X11)
endif()

# JSON for the command-line tool: header-only. The cross build takes the
# host's Debian headers, staged on their own so that no other host header
# reaches the MinGW compiler.
if(CMAKE_CROSSCOMPILING AND WIN32)
  find_path(VK_NLOHMANN_JSON_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
            REQUIRED)
  file(COPY ${VK_NLOHMANN_JSON_DIR}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/host-headers)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/host-headers)
else()
  find_package(nlohmann_json 3 REQUIRED)
endif()

# QScintilla ships no CMake package on Debian.
if(VK_BUILD_UI)
  find_path(QSCINTILLA_INCLUDE_DIR NAMES Qsci/qsciscintilla.h
            PATHS /usr/include/x86_64-linux-gnu/qt6 REQUIRED)
  find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 REQUIRED)
  add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
  set_target_properties(QScintilla::QScintilla PROPERTIES
    IMPORTED_LOCATION "${QSCINTILLA_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${QSCINTILLA_INCLUDE_DIR}"
    INTERFACE_COMPILE_DEFINITIONS QSCINTILLA_DLL
    INTERFACE_LINK_LIBRARIES Qt6::Widgets)
endif()
