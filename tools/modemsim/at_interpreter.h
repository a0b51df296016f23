// The modem's AT command interpreter: echo, answers, identification, the
// file-store commands, the flash loader's "at&&f" records, and the upload
// command that hands over to the boot loader.
#pragma once

#include <string>
#include <vector>

#include "tools/modemsim/flash_loader.h"
#include "tools/modemsim/modem_context.h"

namespace modemsim {

class AtInterpreter {
  public:
    AtInterpreter(ModemContext& context, FlashLoader& flash);

    // Runs until a command switches the modem into another mode.
    Mode Run();

    // Executes one command line (without its CR). Returns the mode the
    // modem is in afterwards.
    Mode Execute(const std::string& received);

  private:
    void Ok();
    void Error();
    void Text(const std::vector<std::string>& lines);

    void ListFiles(const std::string& args);
    void GetFile(const std::string& args);
    void PutFile(const std::string& args);
    void DeleteFile(const std::string& args);
    void ClearFiles();
    bool HaveStore();
    std::string ModelText() const;

    ModemContext& context_;
    FlashLoader& flash_;
    std::string line_;
    bool overflow_ = false;
};

}  // namespace modemsim
