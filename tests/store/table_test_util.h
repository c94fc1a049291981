#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "store/extended_float.h"

namespace quobel::test {

// Builds table-file bytes by hand, tag by tag, so tests can write every version and every odd
// tag the reader must cope with.
class Bytes {
  public:
    Bytes& Raw(std::initializer_list<int> bytes) {
        for (int b : bytes) {
            data_.push_back(static_cast<char>(b));
        }
        return *this;
    }
    Bytes& Raw(std::string_view bytes) {
        data_.append(bytes);
        return *this;
    }
    Bytes& Int(int32_t value) {
        if (value >= -128 && value <= 127) {
            return Raw({2, value & 0xFF});
        }
        if (value >= -32768 && value <= 32767) {
            return Raw({3, value & 0xFF, (value >> 8) & 0xFF});
        }
        return Raw(
            {4, value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF, (value >> 24) & 0xFF});
    }
    Bytes& Text(std::string_view text) {
        if (text.size() < 256) {
            Raw({6, static_cast<int>(text.size())});
        } else {
            const auto n = static_cast<uint32_t>(text.size());
            Raw({12, int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF), int(n >> 24)});
        }
        return Raw(text);
    }
    Bytes& Bool(bool value) { return Raw({value ? 9 : 8}); }
    Bytes& Float(double value) {
        const TExtended e = DoubleToExtended(value);
        Raw({5});
        data_.append(reinterpret_cast<const char*>(e.data()), e.size());
        return *this;
    }
    Bytes& Begin() { return Raw({1}); }
    Bytes& End() { return Raw({0}); }
    const std::string& str() const { return data_; }

  private:
    std::string data_;
};

inline std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) {
            out.push_back(' ');
        }
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

}  // namespace quobel::test
