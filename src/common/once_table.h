// A process-wide table of records that is sized once per loaded library: a
// second sizing stops the run, and a record number outside the table is the
// array-bounds diagnostic.
#pragma once

#include "common/array.h"
#include "common/run_stop.h"

#include <cstdint>
#include <vector>

namespace usersub {

template <class Record>
class OnceTable {
public:
    explicit OnceTable(const char* name) : name_(name) {}

    // max(n, 0) fresh records, numbered from 1.
    void allocate(std::int32_t n)
    {
        if (allocated_) fatal_already_allocated(name_);
        allocated_ = true;
        records_.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    }

    Record& operator()(std::int64_t i) noexcept
    {
        return Array1<Record>(name_, records_.data(), static_cast<std::int64_t>(records_.size()))(i);
    }

private:
    const char* name_;
    bool allocated_ = false;
    std::vector<Record> records_;
};

}  // namespace usersub
