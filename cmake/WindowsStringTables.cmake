# The Windows string tables of a text domain, made at build time from the
# same sources as its gettext catalogues: the ids and English texts of the
# module's string table and the translations in po/<domain>/*.po.
#
#   wizard_windows_string_tables(wizard
#     TEXTS ${CMAKE_SOURCE_DIR}/wizard/resources/strings.cpp
#     IDS ${CMAKE_SOURCE_DIR}/wizard/resources/strings.h
#     OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/wizard_strings.rc)
#
# OUTPUT is an .rc file (UTF-8, one STRINGTABLE per language) made by a
# custom command: list it among a target's sources, or #include it from the
# target's own .rc. PO_DIR takes the catalogues from elsewhere (tests).
set(WRITE_STRING_TABLES ${CMAKE_CURRENT_LIST_DIR}/WriteStringTables.cmake)

function(wizard_windows_string_tables domain)
  cmake_parse_arguments(S "" "TEXTS;IDS;OUTPUT;PO_DIR" "" ${ARGN})
  foreach(required TEXTS IDS OUTPUT)
    if(NOT S_${required})
      message(FATAL_ERROR "wizard_windows_string_tables(${domain}): ${required} is missing")
    endif()
  endforeach()
  set(po_dir ${CMAKE_SOURCE_DIR}/po/${domain})
  if(S_PO_DIR)
    set(po_dir ${S_PO_DIR})
  endif()
  file(GLOB catalogues CONFIGURE_DEPENDS ${po_dir}/*.po)
  add_custom_command(
    OUTPUT ${S_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -DTEXTS=${S_TEXTS} -DIDS=${S_IDS} -DPO_DIR=${po_dir}
            -DOUTPUT=${S_OUTPUT} -P ${WRITE_STRING_TABLES}
    DEPENDS ${S_TEXTS} ${S_IDS} ${catalogues} ${WRITE_STRING_TABLES}
    COMMENT "Windows string tables of ${domain}"
    VERBATIM)
endfunction()
