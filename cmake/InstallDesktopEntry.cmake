# Runs at install time: writes the launcher for the program as installed,
# under the prefix in use (/usr in the Debian package, or what
# `cmake --install --prefix` says) and installs it.
# In: TAMSEL_DESKTOP_TEMPLATE, TAMSEL_DESKTOP_WORK, TAMSEL_BINDIR, TAMSEL_APPLICATIONS_DIR.

# The Exec value is the program's absolute path as one quoted argument:
# inside the quotes ", `, $ and \ take a backslash and % is doubled; the desktop
# entry's string rules then double every backslash once more.
function(tamsel_desktop_exec out path)
  string(REPLACE "\\" "\\\\" quoted "${path}")
  string(REPLACE "\"" "\\\"" quoted "${quoted}")
  string(REPLACE "`" "\\`" quoted "${quoted}")
  string(REPLACE "$" "\\$" quoted "${quoted}")
  string(REPLACE "%" "%%" quoted "${quoted}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  set(${out} "\"${quoted}\"" PARENT_SCOPE)
endfunction()

tamsel_desktop_exec(TAMSEL_DESKTOP_EXEC "${CMAKE_INSTALL_PREFIX}/${TAMSEL_BINDIR}/tamsel")
configure_file("${TAMSEL_DESKTOP_TEMPLATE}" "${TAMSEL_DESKTOP_WORK}/tamsel.desktop" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${TAMSEL_APPLICATIONS_DIR}"
     TYPE FILE PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
     FILES "${TAMSEL_DESKTOP_WORK}/tamsel.desktop")
