// Arbitrary bytes as a fuzz target's choices and texts, read in order; past the end, zeros.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace its90::fuzzing {

class Stream {
public:
    Stream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t next() { return pos_ < size_ ? data_[pos_++] : 0; }
    // A text of up to `most` bytes, any bytes.
    std::string text(int most = 24) {
        std::string s;
        for (int n = next() % (most + 1); n > 0 && !empty(); --n) s += static_cast<char>(next());
        return s;
    }
    // A double from eight bytes: any bit pattern, infinities and NaNs too.
    double number() {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits = bits << 8 | next();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        return x;
    }
    // What is left, whole.
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
        pos_ = size_;
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace its90::fuzzing
