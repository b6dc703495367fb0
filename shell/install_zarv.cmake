# Run by `cmake --install`: writes the menu entries of both programs for the
# installed paths. ZARV_SHELL_SOURCE (this folder), ZARV_BINDIR and ZARV_DATADIR
# are set before. A program installed where the system looks for programs is
# named alone, as the desktop expects; elsewhere by its full path. The icon is
# named, so that the icon theme finds it.
set(_applications "$ENV{DESTDIR}${ZARV_DATADIR}/applications")
set(_on_path FALSE)
if(ZARV_BINDIR STREQUAL "/usr/bin" OR ZARV_BINDIR STREQUAL "/usr/local/bin")
  set(_on_path TRUE)
endif()
foreach(_program zarv zarvreceive)
  file(STRINGS "${ZARV_SHELL_SOURCE}/${_program}.desktop" _lines)
  set(_entry "")
  foreach(_line IN LISTS _lines)
    if(NOT _on_path AND _line MATCHES "^Exec=[^ ]+( .*)?$")
      set(_line "Exec=\"${ZARV_BINDIR}/${_program}\"${CMAKE_MATCH_1}")
    elseif(NOT _on_path AND _line MATCHES "^TryExec=")
      set(_line "TryExec=${ZARV_BINDIR}/${_program}")
    endif()
    string(APPEND _entry "${_line}\n")
  endforeach()
  message(STATUS "Installing: ${_applications}/${_program}.desktop")
  file(WRITE "${_applications}/${_program}.desktop" "${_entry}")
endforeach()
