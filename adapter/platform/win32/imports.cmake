# Import libraries for the two camera DLLs, made with dlltool from the adapter's own lists of
# what it imports (*.imports.def): the compiler's symbols resolve to imports of the plain names
# from HVDAILT.dll and Raw2Rgb.dll. The adapter thus links against the DLLs' binary interface,
# not against one particular build of them. HVDAILT's list is made from its operation list;
# Raw2Rgb's three functions are written in Raw2Rgb.imports.def.
include(${CMAKE_CURRENT_LIST_DIR}/../../exports/function_list.cmake)

# The module definition of what Korvex.dll imports from HVDAILT.dll, written for 32-bit Windows:
# each operation's compiler symbol (name@bytes of arguments), in byte-wise order.
function(korvex_camera_import_definition output)
  korvex_read_function_list(${PROJECT_SOURCE_DIR}/camera_sdk/include/hvdailt_operations.h HVDAILT_OPERATIONS hvdailt)
  set(names ${hvdailt_NAMES})
  list(SORT names COMPARE STRING CASE SENSITIVE)
  set(text "; What Korvex.dll imports from the camera library: the plain names that HVDAILT.dll exports, each\n")
  string(APPEND text "; bound to the compiler's __stdcall symbol (name@bytes of arguments). Built into an import\n")
  string(APPEND text "; library with dlltool --kill-at, so any build of HVDAILT.dll that exports these names fits.\n")
  string(APPEND text "; Made from camera_sdk/include/hvdailt_operations.h.\nLIBRARY HVDAILT.dll\nEXPORTS\n")
  foreach(name IN LISTS names)
    string(APPEND text "    ${name}@${hvdailt_${name}_BYTES}\n")
  endforeach()
  korvex_write_if_changed(${output} "${text}")
endfunction()

set(korvex_HVDAILT_imports_x86 ${CMAKE_CURRENT_BINARY_DIR}/HVDAILT.imports.x86.def)
korvex_camera_import_definition(${korvex_HVDAILT_imports_x86})
set(korvex_Raw2Rgb_imports_x86 ${CMAKE_CURRENT_LIST_DIR}/Raw2Rgb.imports.def)

add_library(korvex_camera_imports INTERFACE)
foreach(dll HVDAILT Raw2Rgb)
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${dll}.imports.def)
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}.imports.a)
  korvex_module_definition(${korvex_${dll}_imports_x86} ${def})
  korvex_import_library(${def} ${dll}.dll ${lib})
  add_custom_target(korvex_${dll}_imports DEPENDS ${lib})
  add_dependencies(korvex_camera_imports korvex_${dll}_imports)
  target_link_libraries(korvex_camera_imports INTERFACE ${lib})
endforeach()
