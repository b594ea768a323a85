# cmake -DUSAGE=file -P CoreOnly.cmake: fails when the include directories
# and compile definitions in USAGE (one line each, as a target's transitive
# usage requirements) reach Qt's GUI or widgets modules, and when they do
# not reach Qt Core (a check that reads nothing would pass).
file(READ "${USAGE}" usage)
foreach(module IN ITEMS QtGui QtWidgets QT_GUI_LIB QT_WIDGETS_LIB)
  string(FIND "${usage}" "${module}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "the skin engine's usage requirements reach ${module}:\n${usage}")
  endif()
endforeach()
string(FIND "${usage}" "QT_CORE_LIB" core)
if(core EQUAL -1)
  message(FATAL_ERROR "no Qt Core in the usage requirements read:\n${usage}")
endif()
message(STATUS "Qt Core only")
