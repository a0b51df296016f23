# wizard_plugin_exports(TARGET ENTRY...) names the entry points a plug-in
# exports. On Windows it writes the DLL's .def file: each entry point under
# its decorated name, bound to the plug-in's C++ function of that name and
# signature, and nothing else. Elsewhere the plug-in's export table carries
# the names and this does nothing.
#
# Entry points: GetVersionNumber GetPreStepStrings GetPostStepStrings
# PreSteps PostSteps FirmwareUpload xdebug_SetPipe.
set(WIZARD_EXPORT_GetVersionNumber
    "\"?GetVersionNumber@@YAHXZ\" = _Z16GetVersionNumberv")
set(WIZARD_EXPORT_GetPreStepStrings
    "\"?GetPreStepStrings@@YAPADXZ\" = _Z17GetPreStepStringsv")
set(WIZARD_EXPORT_GetPostStepStrings
    "\"?GetPostStepStrings@@YAPADXZ\" = _Z18GetPostStepStringsv")
set(WIZARD_EXPORT_PreSteps
    "\"?PreSteps@@YAHPAUHWND__@@PAVCSerial@@PAU_Status@@HPAH@Z\" = _Z8PreStepsP6HWND__P7CSerialP7_StatusiPi")
set(WIZARD_EXPORT_PostSteps
    "\"?PostSteps@@YAHPAUHWND__@@PAVCSerial@@PAU_Status@@HPAH@Z\" = _Z9PostStepsP6HWND__P7CSerialP7_StatusiPi")
set(WIZARD_EXPORT_FirmwareUpload
    "\"?FirmwareUpload@@YAHPAUHWND__@@PAVCSerial@@PADPAU_Status@@@Z\" = _Z14FirmwareUploadP6HWND__P7CSerialPcP7_Status")
set(WIZARD_EXPORT_xdebug_SetPipe
    "\"?xdebug_SetPipe@@YAXPAX@Z\" = _Z14xdebug_SetPipePv")

function(wizard_plugin_exports target)
  if(NOT WIN32)
    return()
  endif()
  set(def "LIBRARY ${target}\nEXPORTS\n")
  foreach(entry ${ARGN})
    if(NOT DEFINED WIZARD_EXPORT_${entry})
      message(FATAL_ERROR "wizard_plugin_exports: no entry point ${entry}")
    endif()
    string(APPEND def "    ${WIZARD_EXPORT_${entry}}\n")
  endforeach()
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  file(GENERATE OUTPUT ${file} CONTENT "${def}")
  target_sources(${target} PRIVATE ${file})
endfunction()
