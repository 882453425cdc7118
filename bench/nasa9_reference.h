// What the property benchmarks measure against: one realistic composition
// (the reactants with every combustion product present, majors, minors and
// traces) and the bare NASA-9 loop over its species, h and cp mass-weighted,
// with the powers of T formed once and each species' range chosen by its own
// break temperature, as the library chooses it. The coefficients are the
// library's loaded ones, copied once into packed per-species records, so the
// reference loop pays for nothing but the formulas. The timing helper times a
// routine and the reference in interleaved batches of the same run.
#pragma once

#include "properties/species/product_species.h"
#include "properties/species/species_table.h"
#include "support/fixture_gases.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <vector>

namespace usersub::bench {

inline constexpr int kNSpecies = 18;  // the test species set: 5 ordinary species and 13 products
using Composition = std::array<double, kNSpecies>;

// Burnt gas with reactants left over, every combustion product present (the
// tests' composition of that name).
inline Composition realistic_composition() { return test::burnt_gas_with_reactants(); }

struct Nasa9Sums {
    double h_J_kg = 0.0;
    double cp_J_kgK = 0.0;
    double rho_kg_m3 = 0.0;
};

// The NASA-9 gases of a composition (mass fraction at least 1e-8) with their
// two coefficient ranges; the set must be loaded first.
class Nasa9Reference {
public:
    explicit Nasa9Reference(const double* y)
    {
        const auto& tab = properties::species_table();
        const auto& prod = properties::product_species();
        for (int i = 1; i <= tab.nspecies; ++i) {
            if (y[i - 1] < 1e-8) continue;
            Species s{};
            s.t_break_K = tab.thermo_tbreak(i);
            if (i <= tab.props_scalar_3) {
                if (tab.iproptyp(i) != properties::kGas) continue;
                s.yr = y[i - 1] * 8314.3 * tab.pmwt_inv(i);
                for (int r = 0; r < 2; ++r)
                    for (int c = 0; c < 8; ++c) s.a[r][c] = tab.thermo_coef(r + 1, c + 1, i);
            } else {
                const int k = i - tab.props_scalar_3;
                s.yr = y[i - 1] * 8314.3 * prod.prod_mw_inv(k);
                for (int r = 0; r < 2; ++r)
                    for (int c = 0; c < 8; ++c) s.a[r][c] = prod.prod_nasa9(r + 1, c + 1, k);
            }
            r_mix_ += s.yr;
            species_.push_back(s);
        }
    }

    std::size_t species_count() const noexcept { return species_.size(); }

    //   cp = R (a1/T^2 + a2/T + a3 + a4 T + a5 T^2 + a6 T^3 + a7 T^4)
    //   h  = R (-a1/T + a2 ln T + a3 T + a4 T^2/2 + a5 T^3/3 + a6 T^4/4 + a7 T^5/5 + b1)
    // and the ideal-gas density P / (R_mix T).
    Nasa9Sums operator()(double t, double p) const noexcept
    {
        const double ti = 1.0 / t, ti2 = ti * ti, t2 = t * t, t3 = t2 * t, t4 = t3 * t;
        const double lt = std::log(t), h2 = 0.5 * t2, h3 = t3 / 3.0, h4 = 0.25 * t4, h5 = 0.2 * t4 * t;
        double h = 0.0, cp = 0.0;
        for (const Species& s : species_) {
            const double* a = s.a[t > s.t_break_K ? 1 : 0];
            cp += s.yr * (a[0] * ti2 + a[1] * ti + a[2] + a[3] * t + a[4] * t2 + a[5] * t3 + a[6] * t4);
            h += s.yr * (a[7] - a[0] * ti + a[1] * lt + a[2] * t + a[3] * h2 + a[4] * h3 + a[5] * h4 + a[6] * h5);
        }
        return {h, cp, p / (r_mix_ * t)};
    }

private:
    struct Species {
        double yr;           // mass fraction times gas constant, J/(kg K)
        double t_break_K;    // end of the lower range
        double a[2][8];      // a1..a7, b1 of the lower and the upper range
    };
    std::vector<Species> species_;
    double r_mix_ = 0.0;
};

// Temperatures of the k-th call of a timed batch: t0 + 0.01 K k.
inline double batch_temperature(double t0_K, int k) noexcept { return t0_K + 0.01 * k; }

// The reference as the timed routine's partner: call k evaluates at
// batch_temperature(t0_K, k) and p_Pa.
inline auto reference_calls(const Nasa9Reference& reference, double t0_K, double p_Pa)
{
    return [&reference, t0_K, p_Pa](int k) {
        Nasa9Sums s = reference(batch_temperature(t0_K, k), p_Pa);
        benchmark::DoNotOptimize(s);
    };
}

// Relative difference of a and b, for the check that a routine and the
// reference compute the same thing.
inline double rel_diff(double a, double b) { return std::fabs(a - b) / std::max(std::fabs(b), 1e-300); }

// Seconds per call of subject(k) and of reference(k), k = 0..n-1, each the
// least over interleaved batches, so that both see the same machine load.
struct PerCall {
    double subject_s = 0.0;
    double reference_s = 0.0;
    double ratio() const noexcept { return subject_s / reference_s; }
};
template <class F, class G>
PerCall time_against(F&& subject, G&& reference, int n = 2000, int batches = 15)
{
    using clock = std::chrono::steady_clock;
    PerCall best{1e9, 1e9};
    for (int b = 0; b < batches; ++b) {
        const auto t0 = clock::now();
        for (int k = 0; k < n; ++k) subject(k);
        const auto t1 = clock::now();
        for (int k = 0; k < n; ++k) reference(k);
        const auto t2 = clock::now();
        best.subject_s = std::min(best.subject_s, std::chrono::duration<double>(t1 - t0).count() / n);
        best.reference_s = std::min(best.reference_s, std::chrono::duration<double>(t2 - t1).count() / n);
    }
    return best;
}

}  // namespace usersub::bench
