# Compiles one catalogue with msgfmt --check and passes its messages on,
# except the notice about "\r" in texts: our texts keep their "\r" line
# breaks on purpose.
execute_process(
  COMMAND ${MSGFMT} --check -o ${OUTPUT} ${INPUT}
  RESULT_VARIABLE result
  ERROR_VARIABLE messages)
string(REGEX REPLACE "[^\n]*should not contain the '\\\\r' escape sequence\n" "" messages "${messages}")
if(messages)
  message("${messages}")
endif()
if(NOT result EQUAL 0)
  message(FATAL_ERROR "msgfmt failed for ${INPUT}")
endif()
