# Run at build time (cmake -P): writes the bash completion script and the
# man page's include file (help2man --include) from the tool's own output.
#   -DTOOL=<the built typedata> -DCOMPLETION=<file> -DCOMMANDS=<file>
execute_process(COMMAND ${TOOL} --bash-completion OUTPUT_FILE ${COMPLETION} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "typedata --bash-completion failed")
endif()

# roff: a backslash is written twice, a minus as \-; a line must not begin
# with . or '.
function(roff_escape text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# help2man makes NAME, SYNOPSIS, DESCRIPTION, OPTIONS, ENVIRONMENT and FILES
# from the main --help. The include file adds a COMMANDS section (each
# command's own --help), EXIT STATUS, and EXAMPLES one per line, in place of
# the paragraph help2man would make of them.
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
  # The global options and exit statuses are said once, in OPTIONS and EXIT STATUS.
  string(REGEX REPLACE "\nGlobal options.*" "\n" usage "${usage}")
  roff_escape("${usage}" usage)
  string(APPEND text ".SS ${name}\n.nf\n${usage}.fi\n")
endforeach()

string(REGEX MATCH "\nExit status:\n(  [^\n]*\n)+" statuses "${help}")
if(NOT statuses)
  message(FATAL_ERROR "typedata --help gives no exit statuses")
endif()
string(REGEX REPLACE "^\nExit status:\n" "" statuses "${statuses}")
roff_escape("${statuses}" statuses)
# "  0  done..." begins an entry; a line indented further goes on with it.
string(REGEX REPLACE "(^|\n)  ([0-9]+)  " "\\1.TP\n.B \\2\n" statuses "${statuses}")
string(REGEX REPLACE "\n     +" "\n" statuses "${statuses}")
string(APPEND text "[EXIT STATUS]\n${statuses}")

string(REGEX MATCH "\nExamples:\n(  [^\n]*\n)+" examples "${help}")
if(NOT examples)
  message(FATAL_ERROR "typedata --help gives no examples")
endif()
string(REGEX REPLACE "^\nExamples:\n" "" examples "${examples}")
string(REGEX REPLACE "(^|\n)  " "\\1" examples "${examples}")
roff_escape("${examples}" examples)
string(APPEND text "[=EXAMPLES]\n.nf\n${examples}.fi\n.PP\n"
       "Each command's own examples are in COMMANDS above; 'typedata help COMMAND' shows them.\n")
file(WRITE ${COMMANDS} "${text}")
