#pragma once

#include <cstdint>
#include <cstring>

#include "storage/ByteReader.h"
#include "storage/ByteWriter.h"

// A small record type for exercising the record lists: 12 bytes on disk.
struct TestRecord {
    static constexpr std::size_t DiskSize = 12;

    TestRecord() = default;
    TestRecord(std::int32_t k, const char* n, std::int16_t s = 0) : key(k), small(s) {
        std::strncpy(name, n, sizeof name - 1);
    }

    std::int32_t Key() const { return key; }

    std::int32_t key = -7;
    char name[6] = {};
    std::int16_t small = 99;
};

inline ByteWriter& operator<<(ByteWriter& out, const TestRecord& r) {
    out.Int32(r.key);
    out.Text(r.name);
    out.Int16(r.small);
    return out;
}

inline ByteReader& operator>>(ByteReader& in, TestRecord& r) {
    in.Int32(r.key);
    in.Text(r.name);
    in.Int16(r.small);
    return in;
}
