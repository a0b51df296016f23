# The resources of Wizard.exe: its dialogs, its string tables in every
# language of the catalogues, the bitmaps and the icon rendered from the
# project's artwork (rsvg-convert, then tools/windows_images.py), and the
# version resource.
#
#   wizard_windows_resources(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/Wizard.rc)
#
# OUTPUT is an .rc file for windres, with everything it needs made beside it
# by custom commands: list it among the sources of Wizard.exe, or compile it
# with windres (the native tests do).
find_program(RSVG_CONVERT_EXECUTABLE rsvg-convert)
find_package(Python3 COMPONENTS Interpreter)

function(wizard_windows_resources)
  cmake_parse_arguments(R "" "OUTPUT" "" ${ARGN})
  if(NOT RSVG_CONVERT_EXECUTABLE OR NOT Python3_Interpreter_FOUND)
    message(FATAL_ERROR "The Windows resources need rsvg-convert and python3 "
                        "(tools/install-deps.sh installs them)")
  endif()
  get_filename_component(dir ${R_OUTPUT} DIRECTORY)
  set(artwork ${CMAKE_SOURCE_DIR}/wizard/gui/artwork)
  set(images ${CMAKE_SOURCE_DIR}/tools/windows_images.py)
  set(made "")
  # The bitmaps in the artwork's own sizes, transparency over white.
  foreach(name header watermark welcome step_bullet)
    add_custom_command(
      OUTPUT ${dir}/${name}.bmp
      COMMAND ${RSVG_CONVERT_EXECUTABLE} ${artwork}/${name}.svg -o ${dir}/${name}.png
      COMMAND ${Python3_EXECUTABLE} ${images} bmp ${dir}/${name}.png ${dir}/${name}.bmp
      DEPENDS ${artwork}/${name}.svg ${images}
      COMMENT "Windows bitmap ${name}.bmp"
      VERBATIM)
    list(APPEND made ${dir}/${name}.bmp)
  endforeach()
  # The icon: the sizes Windows shows in Explorer, the task bar and the
  # window's corner.
  set(icon_pngs "")
  set(icon_commands "")
  foreach(size 48 32 16)
    list(APPEND icon_commands COMMAND ${RSVG_CONVERT_EXECUTABLE} -w ${size} -h ${size}
         ${artwork}/program_icon.svg -o ${dir}/program_icon_${size}.png)
    list(APPEND icon_pngs ${dir}/program_icon_${size}.png)
  endforeach()
  add_custom_command(
    OUTPUT ${dir}/program_icon.ico
    ${icon_commands}
    COMMAND ${Python3_EXECUTABLE} ${images} ico ${dir}/program_icon.ico ${icon_pngs}
    DEPENDS ${artwork}/program_icon.svg ${images}
    COMMENT "Windows icon program_icon.ico"
    VERBATIM)
  list(APPEND made ${dir}/program_icon.ico)

  wizard_windows_string_tables(wizard
    TEXTS ${CMAKE_SOURCE_DIR}/wizard/resources/strings.cpp
    IDS ${CMAKE_SOURCE_DIR}/wizard/resources/strings.h
    OUTPUT ${dir}/wizard_strings.rc)
  list(APPEND made ${dir}/wizard_strings.rc)

  set(WIZARD_RESOURCE_DIR ${dir})
  set(WIZARD_PAGES_RC ${CMAKE_SOURCE_DIR}/wizard/win32/wizard_pages.rc)
  set(WIZARD_VERSION_COMMA ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0)
  set(WIZARD_VERSION_TEXT ${PROJECT_VERSION})
  configure_file(${CMAKE_SOURCE_DIR}/wizard/win32/Wizard.rc.in ${dir}/Wizard.rc.made @ONLY)
  # The .rc itself depends on what it includes, so that a target listing it
  # is rebuilt when an image or a table changes.
  add_custom_command(
    OUTPUT ${R_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E copy ${dir}/Wizard.rc.made ${R_OUTPUT}
    DEPENDS ${dir}/Wizard.rc.made ${made} ${WIZARD_PAGES_RC}
    COMMENT "Wizard.exe resources"
    VERBATIM)
endfunction()
