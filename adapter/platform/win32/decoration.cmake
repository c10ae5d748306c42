# The one place that knows how the two Windows architectures name the functions of the binary
# interface. On 32-bit x86, KX_CALL is __stdcall (camera_sdk/include/kx_call.h, which korvex.h includes) and the
# compiler names such a function name@N, N the bytes of its arguments; on 64-bit Windows there is
# one calling convention and names stay plain. The module definitions, those made from the
# function lists (exports/function_list.cmake counts the 32-bit argument bytes) and
# Raw2Rgb.imports.def, are written with the 32-bit names; the functions below give each build the
# file for its own architecture, so no build file differs between the two.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KORVEX_STDCALL_DECORATED ON)
else()
  set(KORVEX_STDCALL_DECORATED OFF)
endif()

find_program(KORVEX_DLLTOOL NAMES ${KORVEX_MINGW_PREFIX}-dlltool dlltool REQUIRED)

# korvex_write_if_changed, shared with the files made from the function lists.
include(${CMAKE_CURRENT_LIST_DIR}/../../exports/function_list.cmake)

# Copies the module definition input to output, dropping the @N decorations where the
# architecture has none (ordinals, written " @k" after a space, stay).
function(korvex_module_definition input output)
  file(READ ${input} text)
  if(NOT KORVEX_STDCALL_DECORATED)
    string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" text "${text}")
  endif()
  korvex_write_if_changed(${output} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
endfunction()

# Turns an export definition ("Name = Symbol@N @k") into what a host's import library needs:
# "Name@N @k", the symbol a host's compiler emits for Name, imported by the plain Name through
# dlltool --kill-at. Then as korvex_module_definition.
function(korvex_import_definition input output)
  file(READ ${input} text)
  string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*) *= *[A-Za-z_][A-Za-z0-9_]*(@[0-9]+)" "\\1\\2" text "${text}")
  if(NOT KORVEX_STDCALL_DECORATED)
    string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" text "${text}")
  endif()
  korvex_write_if_changed(${output} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
endfunction()

# The export list as the DLL shows it on either architecture, "Name @k", for tools that make an
# import library from a module definition of the DLL's own names (lib.exe /def on 64-bit).
function(korvex_plain_definition input output)
  file(READ ${input} text)
  string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*) *= *[A-Za-z_][A-Za-z0-9_]*@[0-9]+" "\\1" text "${text}")
  string(FIND "${text}" "LIBRARY" start)  # the comments above it describe the decorated file
  string(SUBSTRING "${text}" ${start} -1 text)
  string(PREPEND text "; The DLL's exports: the plain names with their ordinals.\n")
  korvex_write_if_changed(${output} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
endfunction()

# An import library lib for the DLL named dll, from a definition already for this architecture.
function(korvex_import_library def dll lib)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${KORVEX_DLLTOOL} --input-def ${def} --dllname ${dll} --output-lib ${lib} --kill-at
    DEPENDS ${def}
    COMMENT "Import library for ${dll}")
endfunction()
