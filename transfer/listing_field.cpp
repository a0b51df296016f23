#include "transfer/listing_field.h"

namespace {

constexpr const char* kWhiteSpace = " \t\r\n\v\f";

}  // namespace

std::string ListingField(const std::string& line, int index) {
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        begin = line.find(',', begin);
        if (begin == std::string::npos) {
            return std::string();
        }
        ++begin;
    }
    std::size_t end = line.find(',', begin);
    std::string field =
        line.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    const std::size_t first = field.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) {
        return std::string();
    }
    const std::size_t last = field.find_last_not_of(kWhiteSpace);
    return field.substr(first, last - first + 1);
}
