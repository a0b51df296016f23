# Runs a gettext tool (xgettext, msgfmt) and passes its messages on, except
# the notice about "\r" in texts: our texts keep their "\r" line breaks on
# purpose. TOOL_COMMAND is the command line with its words separated by "|".
string(REPLACE "|" ";" command "${TOOL_COMMAND}")
execute_process(COMMAND ${command} RESULT_VARIABLE result ERROR_VARIABLE messages)
string(REGEX REPLACE "[^\n]*should not contain the '\\\\r' escape sequence\n" "" messages "${messages}")
if(messages)
  message("${messages}")
endif()
if(NOT result EQUAL 0)
  message(FATAL_ERROR "failed: ${command}")
endif()
