# What a Windows host links against: lib/libKorvex.dll.a, an import library in which the symbol
# the host's compiler emits for each function (ZqOpenDevice@4 on 32-bit, ZqOpenDevice on 64-bit)
# imports the plain exported name from Korvex.dll, and lib/Korvex.def, the DLL's export list.
# The linker's own import library would carry the internal symbols of the module definition
# (ZqSetTrigerShot would be missing on 32-bit), so dlltool's replaces it after every link: targets
# that link Korvex, and the install, take the one a host needs.
set_target_properties(Korvex PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib)
set(korvex_host_import_def ${CMAKE_CURRENT_BINARY_DIR}/Korvex.imports.def)
korvex_import_definition(${korvex_export_definition_x86} ${korvex_host_import_def})
korvex_plain_definition(${korvex_export_definition_x86} ${PROJECT_BINARY_DIR}/lib/Korvex.def)
add_custom_command(TARGET Korvex POST_BUILD
  COMMAND ${KORVEX_DLLTOOL} --input-def ${korvex_host_import_def} --dllname Korvex.dll
          --output-lib $<TARGET_LINKER_FILE:Korvex> --kill-at
  COMMENT "Import library for hosts of Korvex.dll")
set_property(TARGET Korvex APPEND PROPERTY LINK_DEPENDS ${korvex_host_import_def})

# The same for targets here that name the import library rather than the DLL's target.
add_library(korvex_import_library INTERFACE)
target_link_libraries(korvex_import_library INTERFACE Korvex)

# The export list goes beside the installed import library.
include(GNUInstallDirs)
install(FILES ${PROJECT_BINARY_DIR}/lib/Korvex.def DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
