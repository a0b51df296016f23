# Text domains: every module's texts are marked N_("...") in its string
# table. For a domain this generates the catalogue template
# <build>/po/<domain>.pot and compiles each translation po/<domain>/<lang>.po
# into <bin>/locale/<lang>/LC_MESSAGES/<domain>.mo beside the programs.
find_program(XGETTEXT_EXECUTABLE xgettext REQUIRED)
find_program(MSGFMT_EXECUTABLE msgfmt REQUIRED)

set(RUN_GETTEXT_TOOL ${CMAKE_SOURCE_DIR}/cmake/RunGettextTool.cmake)

function(wizard_text_domain domain)
  cmake_parse_arguments(D "" "" "SOURCES" ${ARGN})
  set(pot ${CMAKE_BINARY_DIR}/po/${domain}.pot)
  string(REPLACE ";" "|" sources "${D_SOURCES}")
  add_custom_command(
    OUTPUT ${pot}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/po
    COMMAND ${CMAKE_COMMAND}
            "-DTOOL_COMMAND=${XGETTEXT_EXECUTABLE}|--language=C++|--from-code=UTF-8|--keyword=N_|--no-location|--package-name=${domain}|--msgid-bugs-address=-|-o|${pot}|${sources}"
            -P ${RUN_GETTEXT_TOOL}
    DEPENDS ${D_SOURCES} ${RUN_GETTEXT_TOOL}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "Catalogue template ${domain}.pot"
    VERBATIM)

  set(outputs ${pot})
  file(GLOB translations CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/po/${domain}/*.po)
  foreach(po ${translations})
    get_filename_component(lang ${po} NAME_WE)
    set(mo ${WIZARD_BIN_DIR}/locale/${lang}/LC_MESSAGES/${domain}.mo)
    add_custom_command(
      OUTPUT ${mo}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${WIZARD_BIN_DIR}/locale/${lang}/LC_MESSAGES
      COMMAND ${CMAKE_COMMAND} "-DTOOL_COMMAND=${MSGFMT_EXECUTABLE}|--check|-o|${mo}|${po}"
              -P ${RUN_GETTEXT_TOOL}
      DEPENDS ${po} ${RUN_GETTEXT_TOOL}
      COMMENT "Translation ${domain} ${lang}"
      VERBATIM)
    list(APPEND outputs ${mo})
  endforeach()
  add_custom_target(${domain}_texts ALL DEPENDS ${outputs})
endfunction()
