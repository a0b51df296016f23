#include "wizard/engine/brand_check.h"

#include "wizard/engine/config_keys.h"

bool HasModemBrand(const IniFile& ini, const std::string& section) {
    IniValue brands = ini.Get(section, kKeyModemBrand);
    return brands.state == IniValue::kTooLong || !brands.text.empty();
}

std::vector<std::string> BrandFields(const std::string& modemBrand) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type comma = modemBrand.find(',', start);
        std::string field = modemBrand.substr(
            start, comma == std::string::npos ? std::string::npos : comma - start);
        std::string::size_type last = field.find_last_not_of(" \t\n\v\f\r");
        field.erase(last == std::string::npos ? 0 : last + 1);
        if (field.empty()) {
            return fields;
        }
        fields.push_back(field);
        if (comma == std::string::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

bool BrandAccepted(const IniFile& ini, const std::string& section, const std::string& brand) {
    if (brand.empty()) {
        return true;
    }
    IniValue brands = ini.Get(section, kKeyModemBrand);
    if (brands.state == IniValue::kTooLong) {
        return false;
    }
    if (brands.text.empty()) {
        return true;
    }
    for (const std::string& field : BrandFields(brands.text)) {
        if (field == brand) {
            return true;
        }
    }
    return false;
}
