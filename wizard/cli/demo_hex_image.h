// Intel HEX files for the demonstration's flash-loader modem: an image
// whose first record carries the header characters (load checksum, modem
// type, sector size) at characters 65 to 72 of the text, and a flash loader.
#pragma once

#include <cstdint>
#include <string>

namespace cli {

// An image of about imageBytes data bytes for a USB modem, every record
// ended by CR LF, the end-of-file record last.
std::string MakeDemoHexImage(std::uint32_t imageBytes);

// A flash loader of about loaderBytes data bytes.
std::string MakeDemoFlashLoader(std::uint32_t loaderBytes);

}  // namespace cli
