# Run at build time (cmake -P): writes the bash completion script and the
# man page's section of commands from the tool's own output.
#   -DTOOL=<the built typedata> -DCOMPLETION=<file> -DCOMMANDS=<file>
execute_process(COMMAND ${TOOL} --bash-completion OUTPUT_FILE ${COMPLETION} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "typedata --bash-completion failed")
endif()

# help2man takes the main --help; each command's own --help goes into a
# COMMANDS section of its include file.
execute_process(COMMAND ${TOOL} --help OUTPUT_VARIABLE help RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "typedata --help failed")
endif()
string(REGEX MATCH "Subcommands:\n([^\n]+\n)+" listed "${help}")
string(REGEX MATCHALL "\n  [a-z]+" names "${listed}")
set(text "[COMMANDS]\n")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  execute_process(COMMAND ${TOOL} ${name} --help OUTPUT_VARIABLE usage)
  # The examples and exit statuses of the main help are said once, above.
  string(REGEX REPLACE "\nExamples:.*" "\n" usage "${usage}")
  # roff: a backslash is written twice; a line must not begin with . or '.
  string(REPLACE "\\" "\\\\" usage "${usage}")
  string(REGEX REPLACE "\n([.'])" "\n\\\\&\\1" usage "${usage}")
  string(APPEND text ".SS ${name}\n.nf\n${usage}.fi\n")
endforeach()
file(WRITE ${COMMANDS} "${text}")
