#pragma once
// The class library's small sets of enumeration values, written as the
// library writes them: `TBorderIcons() << biSystemMenu << biMinimize`,
// `Shift.Contains(ssLeft)`.

#include <cstdint>

template <class T, T MinEl, T MaxEl> class Set {
    static_assert(static_cast<int>(MaxEl) - static_cast<int>(MinEl) < 32, "at most 32 elements");

public:
    constexpr Set() = default;

    constexpr Set& operator<<(T element) {
        bits_ |= Bit(element);
        return *this;
    }
    constexpr Set& operator>>(T element) {
        bits_ &= ~Bit(element);
        return *this;
    }
    constexpr bool Contains(T element) const { return (bits_ & Bit(element)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Clear() { bits_ = 0; }
    constexpr bool operator==(const Set& other) const = default;

private:
    static constexpr uint32_t Bit(T element) {
        return uint32_t{1} << (static_cast<int>(element) - static_cast<int>(MinEl));
    }
    uint32_t bits_ = 0;
};
