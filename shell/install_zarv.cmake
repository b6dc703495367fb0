# Run by `cmake --install`: puts the databases and the settings file beside the
# installed program and writes the menu entry for the installed paths.
# ZARVDB_PROGRAM (the zarvdb tool) and ZARV_SHELL_SOURCE (this folder) are set before.
set(_prefix "${CMAKE_INSTALL_PREFIX}")
set(_bin "$ENV{DESTDIR}${_prefix}/bin")
set(_share "$ENV{DESTDIR}${_prefix}/share")
file(MAKE_DIRECTORY "${_bin}")

# The databases: created where missing; existing files and their rows are kept.
message(STATUS "Installing: ${_bin}/Zarv.mdb, ZarvDb.mdb, label.mdb")
execute_process(COMMAND "${ZARVDB_PROGRAM}" "${_bin}" RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "zarvdb could not create the databases in ${_bin}")
endif()

# The settings file: one the user has edited is never replaced.
if(NOT EXISTS "${_bin}/zarv.ini")
  message(STATUS "Installing: ${_bin}/zarv.ini")
  file(COPY "${ZARV_SHELL_SOURCE}/zarv.ini" DESTINATION "${_bin}")
else()
  message(STATUS "Up-to-date: ${_bin}/zarv.ini (kept as it is)")
endif()

# The menu entry names the installed program and its icon by their full paths.
file(STRINGS "${ZARV_SHELL_SOURCE}/zarv.desktop" _lines)
set(_entry "")
foreach(_line IN LISTS _lines)
  if(_line MATCHES "^Exec=")
    set(_line "Exec=\"${_prefix}/bin/zarv\"")
  elseif(_line MATCHES "^TryExec=")
    set(_line "TryExec=${_prefix}/bin/zarv")
  elseif(_line MATCHES "^Icon=")
    set(_line "Icon=${_prefix}/share/icons/hicolor/scalable/apps/zarv.svg")
  endif()
  string(APPEND _entry "${_line}\n")
endforeach()
message(STATUS "Installing: ${_share}/applications/zarv.desktop")
file(WRITE "${_share}/applications/zarv.desktop" "${_entry}")
