# Import libraries for the two camera DLLs, made with dlltool from the adapter's own lists of
# what it imports (*.imports.def): the compiler's symbols resolve to imports of the plain names
# from HVDAILT.dll and Raw2Rgb.dll. The adapter thus links against the DLLs' binary interface,
# not against one particular build of them.
add_library(korvex_camera_imports INTERFACE)
foreach(dll HVDAILT Raw2Rgb)
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${dll}.imports.def)
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}.imports.a)
  korvex_module_definition(${CMAKE_CURRENT_LIST_DIR}/${dll}.imports.def ${def})
  korvex_import_library(${def} ${dll}.dll ${lib})
  add_custom_target(korvex_${dll}_imports DEPENDS ${lib})
  add_dependencies(korvex_camera_imports korvex_${dll}_imports)
  target_link_libraries(korvex_camera_imports INTERFACE ${lib})
endforeach()
