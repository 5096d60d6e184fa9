find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets Test)
find_package(SQLite3 REQUIRED)
find_package(X11)

# QScintilla ships no CMake package on Debian.
find_path(QSCINTILLA_INCLUDE_DIR NAMES Qsci/qsciscintilla.h
          PATHS /usr/include/x86_64-linux-gnu/qt6 REQUIRED)
find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 REQUIRED)
add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
  IMPORTED_LOCATION "${QSCINTILLA_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${QSCINTILLA_INCLUDE_DIR}"
  INTERFACE_COMPILE_DEFINITIONS QSCINTILLA_DLL
  INTERFACE_LINK_LIBRARIES Qt6::Widgets)
