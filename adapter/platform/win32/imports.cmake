# Import libraries for the two camera DLLs, made with dlltool from the adapter's own lists of
# what it imports (*.imports.def): __stdcall symbols name@N resolve to imports of the plain names
# from HVDAILT.dll and Raw2Rgb.dll. The adapter thus links against the DLLs' binary interface,
# not against one particular build of them.
find_program(KORVEX_DLLTOOL NAMES ${CMAKE_CXX_COMPILER_TARGET}-dlltool i686-w64-mingw32-dlltool dlltool REQUIRED)

add_library(korvex_camera_imports INTERFACE)
foreach(dll HVDAILT Raw2Rgb)
  set(def ${CMAKE_CURRENT_LIST_DIR}/${dll}.imports.def)
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}.imports.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${KORVEX_DLLTOOL} --input-def ${def} --dllname ${dll}.dll --output-lib ${lib} --kill-at
    DEPENDS ${def}
    COMMENT "Import library for ${dll}.dll")
  add_custom_target(korvex_${dll}_imports DEPENDS ${lib})
  add_dependencies(korvex_camera_imports korvex_${dll}_imports)
  target_link_libraries(korvex_camera_imports INTERFACE ${lib})
endforeach()
