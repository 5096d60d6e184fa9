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
