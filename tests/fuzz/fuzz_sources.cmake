# The sources of the INI fuzzer, relative to the top of the source tree:
# the reader and the configuration rules, without anything that opens
# devices or loads libraries.
set(INI_FUZZER_SOURCES
  tests/fuzz/ini_fuzzer.cpp
  wizard/engine/ini_file.cpp
  wizard/engine/model_list.cpp
  wizard/engine/upload_settings_builder.cpp
  wizard/engine/brand_check.cpp
  wizard/engine/common_settings.cpp
  wizard/engine/config_location.cpp
  wizard/engine/firmware_header.cpp
  platform/posix/paths_posix.cpp)
set(INI_FUZZER_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
