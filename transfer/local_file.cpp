#include "transfer/local_file.h"

#include <cstdio>

DWORD GetLocalFileSize(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return 0;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        size = std::ftell(file);
    }
    std::fclose(file);
    return size > 0 ? static_cast<DWORD>(size) : 0;
}
