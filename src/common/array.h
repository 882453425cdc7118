// 1-based (or any lower bound), column-major array views with every subscript
// checked, over library storage or over the host's arrays, and the owning
// storage the library's tables are made of.
#pragma once

#include "common/bounds.h"
#include "common/fixed_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <vector>

namespace usersub {

// One-dimensional view: element i (lower() <= i <= upper()) of a named array.
template <class T>
class Array1 {
public:
    constexpr Array1() = default;
    constexpr explicit Array1(const char* name) : name_(name) {}
    constexpr Array1(const char* name, T* data, std::int64_t extent, std::int64_t lower = 1)
        : name_(name), data_(data), lo_(lower), n_(extent < 0 ? 0 : extent)
    {
    }
    template <class U>
        requires std::is_same_v<const U, T> && (!std::is_same_v<U, T>)
    constexpr Array1(const Array1<U>& other)
        : name_(other.name()), data_(other.data()), lo_(other.lower()), n_(other.size())
    {
    }

    T& operator()(std::int64_t i) const noexcept
    {
        check_index(name_, 1, i, lo_, lo_ + n_ - 1);
        return data_[i - lo_];
    }

    // Elements first..last, checked once, for loops over a whole run.
    std::span<T> span(std::int64_t first, std::int64_t last) const noexcept
    {
        if (last < first) return {};
        check_index(name_, 1, first, lo_, lo_ + n_ - 1);
        check_index(name_, 1, last, lo_, lo_ + n_ - 1);
        return {data_ + (first - lo_), static_cast<std::size_t>(last - first + 1)};
    }
    std::span<T> all() const noexcept { return {data_, static_cast<std::size_t>(n_)}; }

    const char* name() const noexcept { return name_; }
    T* data() const noexcept { return data_; }
    std::int64_t size() const noexcept { return n_; }
    std::int64_t lower() const noexcept { return lo_; }
    std::int64_t upper() const noexcept { return lo_ + n_ - 1; }
    bool empty() const noexcept { return n_ == 0; }

private:
    const char* name_ = "?";
    T* data_ = nullptr;
    std::int64_t lo_ = 1;
    std::int64_t n_ = 0;
};

// R-dimensional column-major view (first subscript fastest).
template <class T, int R>
class ArrayN {
public:
    using Bounds = std::array<std::int64_t, R>;

    constexpr ArrayN() = default;
    constexpr explicit ArrayN(const char* name) : name_(name) {}
    ArrayN(const char* name, T* data, const Bounds& extents, const Bounds& lower = ones())
        : name_(name), data_(data), lo_(lower)
    {
        for (int d = 0; d < R; ++d) n_[d] = extents[d] < 0 ? 0 : extents[d];
    }
    template <class U>
        requires std::is_same_v<const U, T> && (!std::is_same_v<U, T>)
    ArrayN(const ArrayN<U, R>& other)
        : name_(other.name()), data_(other.data()), lo_(other.lowers()), n_(other.extents())
    {
    }

    template <class... I>
        requires(sizeof...(I) == R)
    T& operator()(I... subscripts) const noexcept
    {
        const std::array<std::int64_t, R> idx{static_cast<std::int64_t>(subscripts)...};
        std::int64_t offset = 0;
        std::int64_t stride = 1;
        for (int d = 0; d < R; ++d) {
            check_index(name_, d + 1, idx[d], lo_[d], lo_[d] + n_[d] - 1);
            offset += (idx[d] - lo_[d]) * stride;
            stride *= n_[d];
        }
        return data_[offset];
    }

    const char* name() const noexcept { return name_; }
    T* data() const noexcept { return data_; }
    const Bounds& extents() const noexcept { return n_; }
    const Bounds& lowers() const noexcept { return lo_; }
    std::int64_t extent(int d) const noexcept { return n_[d]; }
    std::int64_t size() const noexcept
    {
        std::int64_t s = 1;
        for (auto e : n_) s *= e;
        return s;
    }

    static constexpr Bounds ones() noexcept
    {
        Bounds b{};
        b.fill(1);
        return b;
    }

private:
    const char* name_ = "?";
    T* data_ = nullptr;
    Bounds lo_ = ones();
    Bounds n_{};
};

// Array of fixed-length texts laid end to end (entry k at (k - 1) * len).
template <class CharT>
class TextArray {
public:
    constexpr TextArray() = default;
    constexpr TextArray(const char* name, std::size_t len) : name_(name), len_(len) {}
    constexpr TextArray(const char* name, CharT* data, std::size_t len, std::int64_t count)
        : name_(name), data_(data), len_(len), n_(count < 0 ? 0 : count)
    {
    }
    template <class U>
        requires std::is_same_v<const U, CharT> && (!std::is_same_v<U, CharT>)
    constexpr TextArray(const TextArray<U>& other)
        : name_(other.name()), data_(other.data()), len_(other.length()), n_(other.size())
    {
    }

    std::string_view operator()(std::int64_t k) const noexcept { return {at(k), len_}; }

    void assign(std::int64_t k, std::string_view s) const noexcept
        requires(!std::is_const_v<CharT>)
    {
        text::assign(at(k), len_, s);
    }

    const char* name() const noexcept { return name_; }
    CharT* data() const noexcept { return data_; }
    std::size_t length() const noexcept { return len_; }
    std::int64_t size() const noexcept { return n_; }

private:
    CharT* at(std::int64_t k) const noexcept
    {
        check_index(name_, 1, k, 1, n_);
        return data_ + static_cast<std::size_t>(k - 1) * len_;
    }

    const char* name_ = "?";
    CharT* data_ = nullptr;
    std::size_t len_ = 0;
    std::int64_t n_ = 0;
};

// Owning storage of a table: contiguous, column-major, sized at set-up and
// never resized by a hot path.
template <class T, int R = 1>
class Storage {
public:
    using Bounds = typename ArrayN<T, R>::Bounds;

    explicit Storage(const char* name) : name_(name) {}

    void assign(const Bounds& extents, const T& fill, const Bounds& lower = ArrayN<T, R>::ones())
    {
        std::int64_t total = 1;
        for (int d = 0; d < R; ++d) {
            n_[d] = extents[d] < 0 ? 0 : extents[d];
            if (__builtin_mul_overflow(total, n_[d], &total)) throw std::length_error(name_);
        }
        lo_ = lower;
        data_.assign(static_cast<std::size_t>(total), fill);
    }
    void release() noexcept
    {
        data_ = {};
        n_ = {};
    }

    ArrayN<T, R> view() noexcept { return {name_, data_.data(), n_, lo_}; }
    ArrayN<const T, R> view() const noexcept { return {name_, data_.data(), n_, lo_}; }

    template <class... I>
    T& operator()(I... subscripts) noexcept { return view()(subscripts...); }
    template <class... I>
    const T& operator()(I... subscripts) const noexcept { return view()(subscripts...); }

    T* data() noexcept { return data_.data(); }
    const T* data() const noexcept { return data_.data(); }
    std::int64_t extent(int d = 0) const noexcept { return n_[d]; }
    std::size_t size() const noexcept { return data_.size(); }
    bool empty() const noexcept { return data_.empty(); }

private:
    const char* name_;
    std::vector<T> data_;
    Bounds n_{};
    Bounds lo_ = ArrayN<T, R>::ones();
};

// One-dimensional storage hands out Array1 views.
template <class T>
Array1<T> view1(Storage<T, 1>& s) noexcept
{
    return {s.view().name(), s.data(), s.extent(0), s.view().lowers()[0]};
}
template <class T>
Array1<const T> view1(const Storage<T, 1>& s) noexcept
{
    return {s.view().name(), s.data(), s.extent(0), s.view().lowers()[0]};
}

}  // namespace usersub
