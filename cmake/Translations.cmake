# Text domains: every module's texts are marked N_("...") in its string
# table. For a domain this generates the catalogue template
# <build>/po/<domain>.pot and compiles each translation po/<domain>/<lang>.po
# into <bin>/locale/<lang>/LC_MESSAGES/<domain>.mo beside the programs.
find_program(XGETTEXT_EXECUTABLE xgettext REQUIRED)
find_program(MSGFMT_EXECUTABLE msgfmt REQUIRED)

function(wizard_text_domain domain)
  cmake_parse_arguments(D "" "" "SOURCES" ${ARGN})
  set(pot ${CMAKE_BINARY_DIR}/po/${domain}.pot)
  add_custom_command(
    OUTPUT ${pot}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/po
    COMMAND ${CMAKE_COMMAND} -DXGETTEXT=${XGETTEXT_EXECUTABLE} -DDOMAIN=${domain} -DOUTPUT=${pot}
            "-DSOURCES=${D_SOURCES}" -P ${CMAKE_SOURCE_DIR}/cmake/RunXgettext.cmake
    DEPENDS ${D_SOURCES}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "Catalogue template ${domain}.pot")

  set(outputs ${pot})
  file(GLOB translations CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/po/${domain}/*.po)
  foreach(po ${translations})
    get_filename_component(lang ${po} NAME_WE)
    set(mo ${WIZARD_BIN_DIR}/locale/${lang}/LC_MESSAGES/${domain}.mo)
    add_custom_command(
      OUTPUT ${mo}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${WIZARD_BIN_DIR}/locale/${lang}/LC_MESSAGES
      COMMAND ${CMAKE_COMMAND} -DMSGFMT=${MSGFMT_EXECUTABLE} -DINPUT=${po} -DOUTPUT=${mo}
              -P ${CMAKE_SOURCE_DIR}/cmake/RunMsgfmt.cmake
      DEPENDS ${po} ${CMAKE_SOURCE_DIR}/cmake/RunMsgfmt.cmake
      COMMENT "Translation ${domain} ${lang}")
    list(APPEND outputs ${mo})
  endforeach()
  add_custom_target(${domain}_texts ALL DEPENDS ${outputs})
endfunction()
