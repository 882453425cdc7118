#include "properties/equilibrium/matrix_solve.h"

#include "common/array.h"
#include "common/output.h"
#include "common/run_stop.h"

#include <array>
#include <cmath>
#include <utility>

namespace usersub::properties {
namespace {

constexpr const char* leading_dimension_message = "F*** MATRIX routine: mmx1 .gt. ipmax";

enum class MessageForm { formatted, list_directed };

// Pivot count of each column, one set per solver.
std::array<std::int32_t, matrix_max_leading> pivots_a{};
std::array<std::int32_t, matrix_max_leading> pivots_b{};

// The elimination below for a fixed order N stored without padding (the
// 4 x 4 and 5 x 5 Newton systems of the equilibrium solvers): the same pivot
// choices and the same arithmetic in the same order, so the same B and A to
// the last bit, with the loops unrolled and no subscript checks (every index
// is a compile-time bound below N * N).
template <int N>
bool gauss_jordan_fixed(double* a, double* b) noexcept
{
    static_assert(N >= 1 && N <= 8);
    auto at = [a](int r, int c) -> double& { return a[r + N * c]; };
    bool used[N] = {};  // row and column already pivoted (the pivot count of the column)
    for (int step = 0; step < N; ++step) {
        double biggest = 0.0;
        int row = -1;
        int col = -1;
        for (int j = 0; j < N; ++j) {
            if (used[j]) continue;
            for (int k = 0; k < N; ++k) {
                if (used[k]) continue;
                const double size = std::fabs(at(j, k));
                if (size > biggest) {
                    biggest = size;
                    row = j;
                    col = k;
                }
            }
        }
        if (col < 0) return false;  // every remaining element is zero: singular

        used[col] = true;
        if (row != col) {
            for (int k = 0; k < N; ++k) std::swap(at(row, k), at(col, k));
            std::swap(b[row], b[col]);
        }

        const double pivot_inv = 1.0 / at(col, col);
        at(col, col) = 1.0;
        for (int k = 0; k < N; ++k) at(col, k) *= pivot_inv;
        b[col] *= pivot_inv;

        for (int r = 0; r < N; ++r) {
            if (r == col) continue;
            const double factor = at(r, col);
            at(r, col) = 0.0;
            for (int k = 0; k < N; ++k) at(r, k) -= at(col, k) * factor;
            b[r] -= b[col] * factor;
        }
    }
    return true;
}

bool gauss_jordan(std::int32_t n, std::int32_t mmx1, double* a_data, double* b_data,
                  std::array<std::int32_t, matrix_max_leading>& pivot_store,
                  MessageForm form) noexcept
{
    if (mmx1 > matrix_max_leading) {
        if (form == MessageForm::formatted)
            out::write_line(leading_dimension_message);
        else
            out::list(leading_dimension_message);
        stop_run();
    }
    if (n <= 0) return true;
    if (n == mmx1 && n == 4) return gauss_jordan_fixed<4>(a_data, b_data);
    if (n == mmx1 && n == 5) return gauss_jordan_fixed<5>(a_data, b_data);

    const ArrayN<double, 2> a("A", a_data, {mmx1, n});
    const Array1<double> b("B", b_data, n);
    const Array1<std::int32_t> pivot_count("matrix pivot counts", pivot_store.data(),
                                           matrix_max_leading);

    for (std::int32_t j = 1; j <= n; ++j) pivot_count(j) = 0;

    for (std::int32_t step = 1; step <= n; ++step) {
        double biggest = 0.0;
        std::int32_t row = 0;
        std::int32_t col = 0;
        for (std::int32_t j = 1; j <= n; ++j) {
            if (pivot_count(j) == 1) continue;
            for (std::int32_t k = 1; k <= n; ++k) {
                if (pivot_count(k) != 0) continue;
                const double size = std::fabs(a(j, k));
                if (size > biggest) {
                    biggest = size;
                    row = j;
                    col = k;
                }
            }
        }
        if (col == 0) return false;  // every remaining element is zero: singular

        ++pivot_count(col);
        if (row != col) {
            for (std::int32_t k = 1; k <= n; ++k) std::swap(a(row, k), a(col, k));
            std::swap(b(row), b(col));
        }

        const double pivot_inv = 1.0 / a(col, col);
        a(col, col) = 1.0;
        for (std::int32_t k = 1; k <= n; ++k) a(col, k) *= pivot_inv;
        b(col) *= pivot_inv;

        for (std::int32_t r = 1; r <= n; ++r) {
            if (r == col) continue;
            const double factor = a(r, col);
            a(r, col) = 0.0;
            for (std::int32_t k = 1; k <= n; ++k) a(r, k) -= a(col, k) * factor;
            b(r) -= b(col) * factor;
        }
    }
    return true;
}

}  // namespace

bool matrix_solve_a(std::int32_t n, std::int32_t mmx1, double* a, double* b) noexcept
{
    return gauss_jordan(n, mmx1, a, b, pivots_a, MessageForm::formatted);
}

bool matrix_solve_b(std::int32_t n, std::int32_t mmx1, double* a, double* b) noexcept
{
    return gauss_jordan(n, mmx1, a, b, pivots_b, MessageForm::list_directed);
}

}  // namespace usersub::properties
