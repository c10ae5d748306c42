# Makes korvex.1 with help2man: the top-level --help and --version, and a COMMANDS section with
# each command's --help. Run as cmake -DTOOL=... -DHELP2MAN=... -DOUTPUT=... -P man_page.cmake.
set(commands list info snap stream record)
set(include_text "[COMMANDS]\n")
foreach(command IN LISTS commands)
  execute_process(COMMAND ${TOOL} ${command} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "korvex ${command} --help failed: ${result}")
  endif()
  string(REPLACE "\\" "\\\\" help "${help}")
  set(include_text "${include_text}.SS \"korvex ${command}\"\n.nf\n${help}.fi\n")
endforeach()
file(WRITE ${OUTPUT}.include "${include_text}")
execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1 "--name=control Korvex cameras from a terminal"
          --include=${OUTPUT}.include --output=${OUTPUT} ${TOOL}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man failed: ${result}")
endif()
