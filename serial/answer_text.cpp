#include "serial/answer_text.h"

#include <cctype>
#include <cstring>

namespace {

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

char g_splitBuffer[kSplitListBufferSize];

}  // namespace

void CleanAnswer(std::string echo, std::string answer, std::string* out) {
    *out = answer;
    std::size_t at = out->find(echo);
    if (at != std::string::npos) {
        *out = out->substr(at + echo.size());
    }
    at = out->rfind("OK");
    if (at != std::string::npos) {
        out->erase(at);
    }
    Trim(*out, " \t\r\n");
}

std::string& TrimLeft(std::string& text, const char* set) {
    std::size_t first = text.find_first_not_of(set);
    text.erase(0, first == std::string::npos ? text.size() : first);
    return text;
}

std::string& TrimRight(std::string& text, const char* set) {
    std::size_t last = text.find_last_not_of(set);
    text.erase(last == std::string::npos ? 0 : last + 1);
    return text;
}

std::string& Trim(std::string& text, const char* set) {
    return TrimRight(TrimLeft(text, set), set);
}

std::string& TrimLeft(std::string& text, char c) {
    const char set[2] = {c, '\0'};
    return TrimLeft(text, set);
}

std::string& TrimRight(std::string& text, char c) {
    const char set[2] = {c, '\0'};
    return TrimRight(text, set);
}

std::string& Trim(std::string& text, char c) {
    return TrimRight(TrimLeft(text, c), c);
}

const char* SplitList(const char* text) {
    char* out = g_splitBuffer;
    if (text == nullptr || std::strlen(text) > kSplitListBufferSize - 2) {
        out[0] = out[1] = '\0';
        return g_splitBuffer;
    }
    bool fieldStart = true;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == ',') {
            *out++ = '\0';
            fieldStart = true;
        } else if (IsSpace(*p)) {
            if (fieldStart) {
                *out++ = ' ';
                fieldStart = false;
            }
        } else {
            *out++ = *p;
        }
    }
    *out++ = '\0';
    *out = '\0';
    return g_splitBuffer;
}

void GetListField(std::string list, int index, std::string* out) {
    const char* field = SplitList(list.c_str());
    out->clear();
    for (int n = 0; *field != '\0'; ++n, field += std::strlen(field) + 1) {
        if (n == index) {
            while (*field != '\0' && IsSpace(*field)) {
                ++field;
            }
            *out = field;
            break;
        }
    }
    while (!out->empty() && IsSpace(out->back())) {
        out->pop_back();
    }
}
