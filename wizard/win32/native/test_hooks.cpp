#include "wizard/win32/native/test_hooks.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace win32 {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

const std::string& AutopilotLog() {
    static const std::string path = Variable("WIZARD_TEST_AUTOPILOT");
    return path;
}

void TestLog(const std::string& line) {
    if (AutopilotLog().empty()) {
        return;
    }
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    if (std::FILE* file = std::fopen(AutopilotLog().c_str(), "ab")) {
        // One line of the log per call: line breaks are written out.
        std::string flat;
        for (char c : line) {
            flat += c == '\r'   ? std::string("\\r")
                    : c == '\n' ? std::string("\\n")
                                : std::string(1, c);
        }
        std::fprintf(file, "%s\n", flat.c_str());
        std::fclose(file);
    }
}

bool AnswerBoxesForTests() {
    static const bool answer = !Variable("WIZARD_TEST_ANSWER_BOXES").empty();
    return answer;
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, &wide[0], length + 1);
    wide.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    if (wide.empty()) {
        return std::string();
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], bytes,
                        nullptr, nullptr);
    return utf8;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return std::wstring();
    }
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], units);
    return wide;
}

}  // namespace win32
