# Makes a program's compressed manual page with help2man: NAME and SYNOPSIS from its --help and
# --version, the hand-written sections of INCLUDE (description, environment, files, examples, exit
# status), and for each of COMMANDS a subsection with that command's --help, with the exit codes
# left to the page's own EXIT STATUS and the option parser's type strings ("INT:INT in [1 - 10]")
# turned into plain ranges. Written beside OUTPUT and moved into place when whole.
#   cmake -DTOOL=... -DVERSION=1.0.0 -DHELP2MAN=... -DNAME=... -DINCLUDE=... [-DCOMMANDS=a,b] -DOUTPUT=x.1.gz -P man_page.cmake
string(REPLACE "," ";" COMMANDS "${COMMANDS}")

# The parser's value descriptions as a reader wants them: a range stays as low..high, a named
# check keeps its name, and a bare type word becomes VALUE.
function(plain_options text result)
  string(REGEX REPLACE "(INT|UINT|FLOAT|TEXT|NUMBER|BOOLEAN):[A-Z]+ in \\[([-0-9.]+) - ([-0-9.]+)\\]" "\\2..\\3"
                       text "${text}")
  string(REGEX REPLACE "(INT|UINT|FLOAT|TEXT|NUMBER|BOOLEAN):[A-Z]+ in ([-+0-9.e]+\\.\\.[-+0-9.e]+)" "\\2" text "${text}")
  string(REGEX REPLACE "(INT|UINT|FLOAT|TEXT|NUMBER|BOOLEAN):([-+0-9.e]+\\.\\.[-+0-9.e]+)" "\\2" text "${text}")
  string(REGEX REPLACE ":(INT|UINT|FLOAT|TEXT|NUMBER|BOOLEAN) in \\[[-0-9.]+ - [-0-9.]+\\]" "" text "${text}")
  string(REGEX REPLACE "(INT|UINT|FLOAT|TEXT|NUMBER|BOOLEAN):([A-Z]+)" "\\2" text "${text}")
  string(REGEX REPLACE "([ ,])(INT|UINT|FLOAT|TEXT|NUMBER|BOOLEAN)([ =\n])" "\\1VALUE\\3" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

# A help text without its closing exit-code paragraph, which the page gives once.
function(without_exit_codes text result)
  string(FIND "${text}" "\nExit codes:" at)
  if(at GREATER -1)
    string(SUBSTRING "${text}" 0 ${at} text)
    string(APPEND text "\n")
  endif()
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

file(READ ${INCLUDE} include_text)
if(COMMANDS)
  string(APPEND include_text "[COMMANDS]\n")
endif()
foreach(command IN LISTS COMMANDS)
  execute_process(COMMAND ${TOOL} ${command} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TOOL} ${command} --help failed: ${result}")
  endif()
  without_exit_codes("${help}" help)
  plain_options("${help}" help)
  string(REPLACE "\\" "\\\\" help "${help}")
  string(APPEND include_text ".SS \"${command}\"\n.nf\n${help}.fi\n")
endforeach()
file(WRITE ${OUTPUT}.include "${include_text}")

execute_process(COMMAND ${HELP2MAN} --no-info --section=1 "--name=${NAME}" "--version-string=${VERSION}"
                        --include=${OUTPUT}.include
                        --output=${OUTPUT}.page ${TOOL}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man failed: ${result}")
endif()
# The top-level help's own text goes the same way: its exit codes are the EXIT STATUS section.
file(READ ${OUTPUT}.page page)
string(REGEX REPLACE "\n\\.PP\nExit codes:[^\n]*(\n[^.\n][^\n]*)*" "" page "${page}")
plain_options("${page}" page)
string(REGEX MATCHALL "Exit codes:" repeats "${page}")
if(repeats)
  message(FATAL_ERROR "${OUTPUT}: exit codes left in the help text")
endif()
file(WRITE ${OUTPUT}.page "${page}")

execute_process(COMMAND gzip -9 -n -c ${OUTPUT}.page OUTPUT_FILE ${OUTPUT}.part RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip ${OUTPUT} failed: ${result}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
