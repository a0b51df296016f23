# What a vendor ships with the programs, in the Linux package and in the
# Windows installer alike: its Wizard.inf and its firmware files.
set(WIZARD_CONFIG_FILE ${CMAKE_SOURCE_DIR}/packaging/Wizard.inf CACHE FILEPATH
    "The vendor's Wizard.inf to install (default: one without models)")
set(WIZARD_FIRMWARE_DIR "" CACHE PATH
    "A directory of the vendor's firmware files to install into the program directory")
