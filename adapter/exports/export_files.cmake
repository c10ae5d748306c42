# The adapter's export files, made from its one list of exported names (exports/export_list.h)
# when the build is configured: the version script for ELF and the module definition for Windows.
include(${CMAKE_CURRENT_LIST_DIR}/function_list.cmake)

# The exported names, functions and second names alike, in byte-wise order: ordinal k is the
# k-th of them. Sets <prefix>_EXPORTED, and reads the list into <prefix> as
# korvex_read_function_list and korvex_read_alias_list do.
macro(korvex_read_export_list list prefix)
  korvex_read_function_list(${list} KORVEX_EXPORTS ${prefix})
  korvex_read_alias_list(${list} KORVEX_EXPORT_ALIASES ${prefix})
  set(${prefix}_EXPORTED ${${prefix}_NAMES} ${${prefix}_ALIASES})
  list(SORT ${prefix}_EXPORTED COMPARE STRING CASE SENSITIVE)
endmacro()

# The version script: every exported name in node KORVEX_1, nothing else visible.
function(korvex_version_script list output)
  korvex_read_export_list(${list} export)
  list(LENGTH export_EXPORTED count)
  set(text "/* The adapter's dynamic symbols: the ${count} exported names and nothing else, all in version node\n")
  string(APPEND text "   KORVEX_1 (the interface of libKorvex.so.1). Made from exports/export_list.h. */\n")
  string(APPEND text "KORVEX_1 {\n  global:\n")
  foreach(name IN LISTS export_EXPORTED)
    string(APPEND text "    ${name};\n")
  endforeach()
  string(APPEND text "  local: *;\n};\n")
  korvex_write_if_changed(${output} "${text}")
endfunction()

# The module definition as written for 32-bit Windows: each name mapped to the compiler's
# decorated symbol of its function (name@bytes of arguments), with its ordinal. Each build makes
# its own architecture's file from it (platform/win32/decoration.cmake).
function(korvex_export_definition list output)
  korvex_read_export_list(${list} export)
  list(LENGTH export_EXPORTED count)
  set(text "; Korvex.dll exports: ${count} undecorated __stdcall names, ordinals in the byte-wise alphabetical\n")
  string(APPEND text "; order of the names. Each entry maps the name to the compiler's decorated symbol (name@bytes\n")
  string(APPEND text "; of arguments)")
  foreach(alias IN LISTS export_ALIASES)
    string(APPEND text "; ${alias} is a second name for ${export_${alias}_OF}'s code")
  endforeach()
  string(APPEND text ".\n; Made from exports/export_list.h.\nLIBRARY Korvex.dll\nEXPORTS\n")
  set(ordinal 0)
  foreach(name IN LISTS export_EXPORTED)
    math(EXPR ordinal "${ordinal} + 1")
    set(function ${name})
    if(DEFINED export_${name}_OF)
      set(function ${export_${name}_OF})
    endif()
    korvex_pad("${name}" 24 exported)
    korvex_pad("${function}@${export_${function}_BYTES}" 28 symbol)
    string(APPEND text "    ${exported}= ${symbol}@${ordinal}\n")
  endforeach()
  korvex_write_if_changed(${output} "${text}")
endfunction()
