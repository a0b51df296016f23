#include "tests/support/scripted_modem.h"

#include <cctype>

namespace test_support {
namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

ScriptedModem::ScriptedModem(platform::testing::ScriptedSerial& port) : port_(port) {
    port_.OnWrite(
        [this](platform::testing::ScriptedSerial&, const std::string& bytes) { Receive(bytes); });
    AnswerOk("AT");
}

std::string ScriptedModem::Ok(const std::string& body) {
    return body.empty() ? "\r\nOK\r\n" : "\r\n" + body + "\r\n\r\nOK\r\n";
}

void ScriptedModem::Answer(const std::string& command, const std::string& raw) {
    answers_[Upper(command)] = {raw};
    served_[Upper(command)] = 0;
}

void ScriptedModem::AnswerOk(const std::string& command, const std::string& body) {
    Answer(command, Ok(body));
}

void ScriptedModem::AnswerError(const std::string& command) {
    Answer(command, "\r\nERROR\r\n");
}

void ScriptedModem::AnswerSequence(const std::string& command, std::vector<std::string> raws) {
    answers_[Upper(command)] = std::move(raws);
    served_[Upper(command)] = 0;
}

void ScriptedModem::Receive(const std::string& bytes) {
    if (silent) {
        return;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (dataReceiver) {
            auto receiver = dataReceiver;  // it may replace itself
            receiver(bytes.substr(i));
            return;
        }
        const char c = bytes[i];
        if (echo) {
            port_.Deliver(std::string(1, c), echoDelayMs);
        }
        if (c == '\r') {
            std::string command = line_;
            line_.clear();
            commands_.push_back(command);
            Respond(command);
        } else if (c != '\n') {
            line_ += c;
        }
    }
}

void ScriptedModem::Respond(const std::string& command) {
    if (onCommand && onCommand(command)) {
        return;
    }
    const std::string key = Upper(command);
    if (key == "ATE0" || key == "ATE1") {
        echo = key == "ATE1";
        port_.Deliver(Ok(), answerDelayMs);
        return;
    }
    auto it = answers_.find(key);
    if (it == answers_.end() || it->second.empty()) {
        if (!key.empty()) {
            port_.Deliver(unknownAnswer, answerDelayMs);
        }
        return;
    }
    std::size_t& next = served_[key];
    const std::string& raw = it->second[std::min(next, it->second.size() - 1)];
    ++next;
    port_.Deliver(raw, answerDelayMs);
}

}  // namespace test_support
