#include "wizard/engine/progress_display.h"

#include <algorithm>
#include <cstring>

#include "wizard/resources/strings.h"

std::string FormatPercent(const char* text, int percent) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '%' && (p[1] == 'd' || p[1] == 'i')) {
            out += std::to_string(percent);
            ++p;
        } else if (*p == '%' && p[1] == '%') {
            out += '%';
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

ProgressDisplay SampleProgress(_Status* status) {
    ProgressDisplay display;
    if (status->state == 2) {
        display.text = wizard::LoadText(wizard::IDS_SUCCESS);
        display.barPosition = 100;
        display.succeeded = true;
        return display;
    }
    // A text is read while another thread may write it: never past its end.
    char text[sizeof status->text + 1];
    std::memcpy(text, status->text, sizeof status->text);
    text[sizeof status->text] = '\0';

    const std::int32_t total = status->total;
    const std::int32_t done = status->done;
    display.total = total;
    display.done = done;
    if (total == -1) {
        display.text = text;
        display.barPosition = 0;
        status->done = done + 1;
        return display;
    }
    int percent = total == 0 ? 0 : static_cast<int>(static_cast<double>(done) / total * 100.0);
    percent = std::clamp(percent, 0, 100);
    display.text = FormatPercent(text, percent);
    display.barPosition = percent;
    return display;
}
