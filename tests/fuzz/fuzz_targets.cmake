# The fuzz targets, one per parser that modem, file or user data reaches.
# Target NAME is tests/fuzz/NAME_fuzzer.cpp; its seeds are corpus/NAME/,
# its dictionary (where one helps) dictionaries/NAME.dict, and the inputs
# of faults it found once regressions/NAME/, replayed at every run.
# WIZARD_FUZZ_LIBS_NAME are the libraries it links, WIZARD_FUZZ_MAX_LEN_NAME
# the longest input it is given.
set(WIZARD_FUZZ_TARGETS
  ini
  xmodem_receiver
  xmodem_sender
  at_request
  answer_text
  backup_listing
  intel_hex
  image_header
  flash_answers
  firmware_header
)

set(WIZARD_FUZZ_LIBS_ini wizard_engine)
set(WIZARD_FUZZ_MAX_LEN_ini 16384)

set(WIZARD_FUZZ_LIBS_xmodem_receiver transfer)
set(WIZARD_FUZZ_MAX_LEN_xmodem_receiver 8192)

set(WIZARD_FUZZ_LIBS_xmodem_sender transfer)
set(WIZARD_FUZZ_MAX_LEN_xmodem_sender 4096)

set(WIZARD_FUZZ_LIBS_at_request transfer)
set(WIZARD_FUZZ_MAX_LEN_at_request 4096)

set(WIZARD_FUZZ_LIBS_answer_text transfer)
set(WIZARD_FUZZ_MAX_LEN_answer_text 2048)

set(WIZARD_FUZZ_LIBS_backup_listing backup_plugin)
set(WIZARD_FUZZ_MAX_LEN_backup_listing 6000)

set(WIZARD_FUZZ_LIBS_intel_hex flinta_plugin)
set(WIZARD_FUZZ_MAX_LEN_intel_hex 8192)

set(WIZARD_FUZZ_LIBS_image_header flinta_plugin)
set(WIZARD_FUZZ_MAX_LEN_image_header 1024)

set(WIZARD_FUZZ_LIBS_flash_answers flinta_plugin)
set(WIZARD_FUZZ_MAX_LEN_flash_answers 2048)

set(WIZARD_FUZZ_LIBS_firmware_header wizard_engine)
set(WIZARD_FUZZ_MAX_LEN_firmware_header 8192)
