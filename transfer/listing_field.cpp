#include "transfer/listing_field.h"

namespace {

constexpr const char* kWhiteSpace = " \t\r\n\v\f";

}  // namespace

std::string_view SeparatedField(std::string_view text, char separator, int index) {
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        begin = text.find(separator, begin);
        if (begin == std::string_view::npos) {
            return {};
        }
        ++begin;
    }
    const std::size_t end = text.find(separator, begin);
    return text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
}

std::string ListingField(const std::string& line, int index) {
    const std::string_view field = SeparatedField(line, ',', index);
    const std::size_t first = field.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) {
        return std::string();
    }
    const std::size_t last = field.find_last_not_of(kWhiteSpace);
    return std::string(field.substr(first, last - first + 1));
}
