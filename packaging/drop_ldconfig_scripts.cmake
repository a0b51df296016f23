# Run by CPack after it has built the packages (CPACK_POST_BUILD_SCRIPTS).
#
# CPack gives every package with a shared object anywhere below /usr/lib a
# postinst and postrm that run ldconfig. The plug-ins in the program
# directory are loaded by path and are nothing for ldconfig (and a package
# calls it through a trigger these days), so each package is built again
# without those two scripts.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${tree} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dpkg-deb cannot unpack ${deb}")
  endif()
  set(scripts)
  foreach(script postinst postrm)
    if(EXISTS ${tree}/DEBIAN/${script})
      file(READ ${tree}/DEBIAN/${script} text)
      string(REGEX REPLACE "#!/bin/sh|set -e|if \\[ \"\\$1\" = \"[a-z]+\" \\]; then|ldconfig|fi|[ \t\n]"
             "" rest "${text}")
      if(NOT rest STREQUAL "")
        message(FATAL_ERROR "${deb}: ${script} does more than run ldconfig:\n${text}")
      endif()
      list(APPEND scripts ${tree}/DEBIAN/${script})
    endif()
  endforeach()
  if(scripts)
    file(REMOVE ${scripts})
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${deb}
                    OUTPUT_QUIET RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "dpkg-deb cannot build ${deb} again")
    endif()
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
