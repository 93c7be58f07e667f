#pragma once
// A cell coordinate, 1-based as the worksheet uses it.

#include <cstdint>

class QVPoint {
public:
    QVPoint() = default;
    QVPoint(uint64_t r, uint64_t c) : r_(r), c_(c) {}

    uint64_t r() const { return r_; }
    void setR(uint64_t v) { r_ = v; }
    uint64_t c() const { return c_; }
    void setC(uint64_t v) { c_ = v; }

    bool isEqual(const QVPoint& other) const { return r_ == other.r_ && c_ == other.c_; }
    bool operator==(const QVPoint& other) const { return isEqual(other); }

private:
    uint64_t r_ = 0;
    uint64_t c_ = 0;
};

inline QVPoint QVPointMake(uint64_t row, uint64_t column) {
    return QVPoint(row, column);
}
