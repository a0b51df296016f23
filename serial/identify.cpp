#include "serial/identify.h"

#include "serial/answer_text.h"
#include "serial/serial.h"

namespace {

constexpr DWORD kIdentifyTimeoutMs = 1000;

bool Ask(CSerial* port, const char* command, std::string* answer, const char* cancel) {
    return port->Request(command, answer, REQUEST_IGNORE_ECHO, cancel, kIdentifyTimeoutMs, 0);
}

// Cleans a model answer and removes its label ("+GMM:" / "+GMM9:").
void TakeModel(const char* echo, const char* label, const std::string& answer, std::string* model) {
    CleanAnswer(echo, answer, model);
    std::size_t at = model->find(label);
    if (at != std::string::npos) {
        *model = model->substr(at + std::char_traits<char>::length(label));
    }
}

}  // namespace

bool IdentifyModem(CSerial* port, const char* cancel, std::string* model, std::string* ati3,
                   std::string* ati5) {
    if (cancel != nullptr && *static_cast<const volatile char*>(cancel) != 0) {
        return false;
    }
    if (!port->ClearInput(500)) {
        return false;
    }
    std::string scratch;
    if (!Ask(port, "AT&F", &scratch, cancel)) {
        return false;
    }
    if (model != nullptr) {
        std::string answer;
        if (Ask(port, "AT+GMM", &answer, cancel)) {
            TakeModel("AT+GMM:", "+GMM:", answer, model);
        } else {
            if (!Ask(port, "AT+GMM9", &answer, cancel)) {
                return false;
            }
            TakeModel("AT+GMM9:", "+GMM9:", answer, model);
        }
        Trim(*model, " \"");
    }
    if (ati3 != nullptr && !Ask(port, "ATI3", ati3, cancel)) {
        return false;
    }
    if (ati5 != nullptr) {
        Ask(port, "ATI5", ati5, cancel);
    }
    return true;
}
