# Install-time script: writes korvex.pc for the prefix being installed to and installs it.
# The KORVEX_PC_* variables are set by the install step just before this one.
set(prefix "${CMAKE_INSTALL_PREFIX}")
configure_file("${KORVEX_PC_TEMPLATE}" "${KORVEX_PC_FILE}" @ONLY)
file(INSTALL "${KORVEX_PC_FILE}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${KORVEX_PC_LIBDIR}/pkgconfig")
