# Reading the function lists that headers keep as X-macros (exports/export_list.h for the
# adapter's exports, camera_sdk/include/hvdailt_operations.h for the camera library's operations),
# so that the files a linker needs are made from the one list, and writing such files.
include_guard(GLOBAL)

# The entries of the list that macro defines in header ("#define <macro>(ENTRY) ENTRY(...) ...",
# continued over lines): each entry's arguments as written between its parentheses, in <out>.
function(korvex_list_entries header macro out)
  file(READ ${header} text)
  string(REPLACE "\\\n" " " joined "${text}")
  string(REGEX MATCH "#define ${macro}\\(([A-Z]+)\\)([^\n]*)" ignored "${joined}")
  set(entry "${CMAKE_MATCH_1}")
  string(REGEX MATCHALL "${entry}\\(([^()]|\\([^()]*\\))*\\)" calls "${CMAKE_MATCH_2}")
  if(entry STREQUAL "" OR calls STREQUAL "")
    message(FATAL_ERROR "${header}: no entry of a #define ${macro}(ENTRY) read")
  endif()
  set(entries "")
  foreach(call IN LISTS calls)
    string(REGEX REPLACE "^${entry}\\((.*)\\)$" "\\1" arguments "${call}")
    list(APPEND entries "${arguments}")
  endforeach()
  set(${out} "${entries}" PARENT_SCOPE)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
endfunction()

# The bytes an argument of type takes on the 32-bit x86 stack, which __stdcall's decoration
# (name@bytes) counts: every type of the lists is a pointer or an integer of at most 32 bits.
function(korvex_stack_bytes type out)
  string(STRIP "${type}" type)
  if(type MATCHES "\\*$" OR type MATCHES "^(u?int(8|16|32)_t|HHV|HVSnapCallback)$")
    set(${out} 4 PARENT_SCOPE)
  else()
    message(FATAL_ERROR "korvex_stack_bytes: the stack size of '${type}' is not known; add it here")
  endif()
endfunction()

# Reads the list that macro defines in header, one ENTRY(returnType, Name, (type, name), ...) per
# function. Sets <prefix>_NAMES (in the list's order) and <prefix>_<Name>_BYTES, the bytes of the
# function's arguments on the 32-bit x86 stack.
function(korvex_read_function_list header macro prefix)
  korvex_list_entries(${header} ${macro} entries)
  set(names "")
  foreach(entry IN LISTS entries)
    if(NOT entry MATCHES "^[^,]+, *([A-Za-z_][A-Za-z0-9_]*)(.*)$")
      message(FATAL_ERROR "${header}: an entry of ${macro} is not (returnType, Name, (type, name)...): ${entry}")
    endif()
    set(name ${CMAKE_MATCH_1})
    string(REGEX MATCHALL "\\([^(),]+,[^()]*\\)" pairs "${CMAKE_MATCH_2}")
    set(bytes 0)
    foreach(pair IN LISTS pairs)
      string(REGEX MATCH "^\\(([^,]+)," ignored "${pair}")
      korvex_stack_bytes("${CMAKE_MATCH_1}" size)
      math(EXPR bytes "${bytes} + ${size}")
    endforeach()
    list(APPEND names ${name})
    set(${prefix}_${name}_BYTES ${bytes} PARENT_SCOPE)
  endforeach()
  set(${prefix}_NAMES ${names} PARENT_SCOPE)
endfunction()

# Reads the second names that macro defines in header, ALIAS(Name, Function) each. Sets
# <prefix>_ALIASES (the names) and <prefix>_<Name>_OF (the function each names).
function(korvex_read_alias_list header macro prefix)
  korvex_list_entries(${header} ${macro} entries)
  set(names "")
  foreach(entry IN LISTS entries)
    if(NOT entry MATCHES "^ *([A-Za-z0-9_]+) *, *([A-Za-z0-9_]+) *$")
      message(FATAL_ERROR "${header}: an entry of ${macro} is not (Name, Function): ${entry}")
    endif()
    list(APPEND names ${CMAKE_MATCH_1})
    set(${prefix}_${CMAKE_MATCH_1}_OF ${CMAKE_MATCH_2} PARENT_SCOPE)
  endforeach()
  set(${prefix}_ALIASES ${names} PARENT_SCOPE)
endfunction()

# text padded with spaces to width characters.
function(korvex_pad text width out)
  string(LENGTH "${text}" length)
  set(padded "${text}")
  if(length LESS width)
    math(EXPR missing "${width} - ${length}")
    string(REPEAT " " ${missing} spaces)
    string(APPEND padded "${spaces}")
  endif()
  set(${out} "${padded}" PARENT_SCOPE)
endfunction()

# Writes text to output, leaving an unchanged file alone so that nothing relinks needlessly. The
# text goes to a file beside output first and takes its name only when whole.
function(korvex_write_if_changed output text)
  if(EXISTS ${output})
    file(READ ${output} old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE ${output}.new "${text}")
  file(RENAME ${output}.new ${output})
endfunction()
