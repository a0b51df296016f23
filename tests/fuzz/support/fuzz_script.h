// A fuzz input read front to back as the script of a peer: bytes, numbers,
// counted byte strings. Past its end every read gives zeros or nothing, so
// that any input is a complete script and short seeds stay readable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

class Script {
  public:
    Script(const std::uint8_t* data, std::size_t size)
        : data_(reinterpret_cast<const char*>(data)), size_(size) {}

    bool Done() const { return at_ >= size_; }

    std::uint8_t Byte() { return Done() ? 0 : static_cast<std::uint8_t>(data_[at_++]); }
    // Two bytes, most significant first.
    unsigned U16() {
        unsigned high = Byte();
        return high << 8 | Byte();
    }
    // Up to count bytes (fewer at the end of the input).
    std::string Bytes(std::size_t count) {
        const std::size_t n = count < size_ - at_ ? count : size_ - at_;
        std::string out(data_ + at_, n);
        at_ += n;
        return out;
    }
    // A length byte, then that many bytes.
    std::string Counted() { return Bytes(Byte()); }
    // Everything that is left.
    std::string Rest() { return Bytes(size_); }

  private:
    const char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace fuzz
