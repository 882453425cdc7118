// Enthalpy and cp of the species of the loaded set at one temperature, from
// the form of gas data that the run selects (NASA 9-coefficient polynomials or
// the power series in T - TREF_THERMO). The powers of the form are formed once
// when the evaluator is made and shared by every species it evaluates; the
// table extents are checked once there too, so the per-species calls index
// the data directly.
#pragma once

#include "properties/mixture/nasa9_form.h"
#include "properties/mixture/series_form.h"

#include "common/bounds.h"
#include "properties/species/product_species.h"
#include "properties/species/species_table.h"

#include <cstddef>
#include <cstdint>

namespace usersub::properties {

enum class GasDataForm { nasa9, series };

// PRODUCTS_SWITCH 1 selects the power series; any other value the NASA form.
inline GasDataForm run_gas_data_form() noexcept
{
    return species_table().products_switch == 1 ? GasDataForm::series : GasDataForm::nasa9;
}

class SpeciesThermo {
public:
    SpeciesThermo(GasDataForm form, double t_K) noexcept;

    GasDataForm form() const noexcept { return form_; }

    // Ordinary species i from its THERMO_COEF data: in the NASA form set 1 at
    // or below THERMO_TBREAK, set 2 up to the highest temperature, set 3
    // above; in the series form THERMO_NTERMS terms of set 1.
    HCp gas(std::int32_t i, double third = kNasa9Third) const noexcept;

    // Ordinary species i as a series of exactly n terms of set 1, whatever the
    // run's form (a constant-density liquid's four terms, the six terms of the
    // ideal-gas mixture).
    HCp series(std::int32_t i, int n) const noexcept;

    // Product species i (product k = i - PROPS_SCALAR_3): in the series form
    // n terms of PROD_CP_MASS; in the NASA form set 2 of the product data
    // above THERMO_TBREAK of species i, else set 1.
    HCp product(std::int32_t i, int n) const noexcept;

    // Series terms of product species i at mass fraction y: its full count of
    // PROD_SETTINGS from 5e-6 up, 2 from 5e-7, 1 below (a trace carries only
    // its enthalpy at TREF_THERMO or a constant cp).
    int product_terms(std::int32_t i, double y) const noexcept;
    int product_full_terms(std::int32_t i) const noexcept;

    // Gas constants per unit mass, J/(kg K).
    double r_gas(std::int32_t i) const noexcept { return r_ * pmwt_inv_[i - 1]; }
    double r_product(std::int32_t i) const noexcept { return r_ * prod_mw_inv_[i - n_ordinary_ - 1]; }
    // Reciprocal molecular weights, kmol/kg.
    double m_inv_gas(std::int32_t i) const noexcept { return pmwt_inv_[i - 1]; }
    double m_inv_product(std::int32_t i) const noexcept { return prod_mw_inv_[i - n_ordinary_ - 1]; }

    // NASA form: the product species first..last (within the product block)
    // whose mass fraction is at least `trace`, each one's set of this
    // temperature added to mix with the weight Y_i / M_i. Returns the sums of
    // Y_i / M_i (kmol/kg) and of Y_i.
    struct MixedSums {
        double y_over_m = 0.0;
        double mass = 0.0;
    };
    MixedSums mix_products(const double* y, std::int32_t first, std::int32_t last, double trace,
                           Nasa9Mix& mix) const noexcept;

    // The NASA coefficients a1..b1 of the set of ordinary species i at this
    // temperature, stride 3 (for routines that mix coefficients before they
    // evaluate them).
    const double* gas_nasa9_set(std::int32_t i) const noexcept;
    // Set 1, or set 2 above THERMO_TBREAK (the ranges of routines that use two).
    const double* gas_nasa9_two_ranges(std::int32_t i) const noexcept;
    // The same for product species i, stride 2.
    const double* product_nasa9_set(std::int32_t i) const noexcept;

    const Nasa9Powers& nasa9() const noexcept { return nasa9_; }
    const SeriesPowers& powers() const noexcept { return series_; }
    double t_K() const noexcept { return nasa9_.t; }

private:
    static constexpr int kProductSeriesTerms = 8;  // PROD_CP_MASS coefficients per product

    GasDataForm form_;
    Nasa9Powers nasa9_;
    SeriesPowers series_;
    double r_ = 0.0;
    std::int32_t n_ordinary_ = 0;
    const double* coef_ = nullptr;          // THERMO_COEF (3, 9, C)
    const double* pmwt_inv_ = nullptr;
    const double* tbreak_ = nullptr;
    const double* tmax_ = nullptr;
    const std::int32_t* nterms_ = nullptr;
    const double* prod_nasa9_ = nullptr;    // (2, 9, 13)
    const double* prod_series_ = nullptr;   // (8, 13)
    const double* prod_mw_inv_ = nullptr;
    const std::int32_t* prod_nterms_ = nullptr;
};

// The evaluator and the per-species evaluations are inline: they run in every
// mixture evaluation, and once per species of it.

inline SpeciesThermo::SpeciesThermo(GasDataForm form, double t_K) noexcept : form_(form), r_(kGasConstant)
{
    const SpeciesTable& tab = species_table();
    const ProductSpeciesSet& prod = product_species();
    n_ordinary_ = tab.props_scalar_3;
    // Every species of a composition has its entries in the per-species arrays.
    if (tab.nspecies > 0) check_index("THERMO_COEF", 3, tab.nspecies, 1, tab.thermo_coef.extent(2));
    // Species above PROPS_SCALAR_3 map onto products 1..13, and the product
    // block PROPS_SCALAR_2..NSPECIES lies among them.
    if (tab.nspecies > n_ordinary_) check_index("PROD_CP_MASS", 2, tab.nspecies - n_ordinary_, 1, kProducts);
    if (tab.props_scalar_2 <= tab.nspecies) {
        check_index("PROD_CP_MASS", 2, tab.props_scalar_2 - n_ordinary_, 1, kProducts);
        check_index("PROD_CP_MASS", 2, tab.nspecies - n_ordinary_, 1, kProducts);
    }
    coef_ = tab.thermo_coef.data();
    pmwt_inv_ = tab.pmwt_inv.data();
    tbreak_ = tab.thermo_tbreak.data();
    tmax_ = tab.species_tmax.data();
    nterms_ = tab.thermo_nterms.data();
    prod_nasa9_ = prod.prod_nasa9.data();
    prod_series_ = prod.prod_cp_mass.data();
    prod_mw_inv_ = prod.prod_mw_inv.data();
    prod_nterms_ = prod.prod_settings.data();

    if (form == GasDataForm::nasa9) {
        nasa9_ = nasa9_powers(t_K);
    } else {
        nasa9_.t = t_K;
        series_ = series_powers(t_K - tab.tref_thermo);
    }
}

inline const double* SpeciesThermo::gas_nasa9_set(std::int32_t i) const noexcept
{
    const double t = nasa9_.t;
    const int set = t <= tbreak_[i - 1] ? 1 : (t <= tmax_[i - 1] ? 2 : 3);
    return coef_ + (set - 1) + 27 * static_cast<std::ptrdiff_t>(i - 1);
}

inline const double* SpeciesThermo::gas_nasa9_two_ranges(std::int32_t i) const noexcept
{
    const int set = nasa9_.t > tbreak_[i - 1] ? 2 : 1;
    return coef_ + (set - 1) + 27 * static_cast<std::ptrdiff_t>(i - 1);
}

inline const double* SpeciesThermo::product_nasa9_set(std::int32_t i) const noexcept
{
    const int set = nasa9_.t > tbreak_[i - 1] ? 2 : 1;
    return prod_nasa9_ + (set - 1) + 18 * static_cast<std::ptrdiff_t>(i - n_ordinary_ - 1);
}

inline SpeciesThermo::MixedSums SpeciesThermo::mix_products(const double* y, std::int32_t first, std::int32_t last,
                                                             double trace, Nasa9Mix& mix) const noexcept
{
    // Walk the block with raw pointers: the extents were checked when th was made.
    constexpr std::ptrdiff_t kSets = 2 * kProdNasa9SetLen;  // both sets of one product
    const std::ptrdiff_t k_first = first - n_ordinary_ - 1;  // product of species `first`, from 0
    const double t = nasa9_.t;
    const double* y_i = y + (first - 1);
    const double* tbreak = tbreak_ + (first - 1);
    const double* m_inv = prod_mw_inv_ + k_first;
    const double* sets = prod_nasa9_sets() + kSets * k_first;
    Nasa9Mix m = mix;
    MixedSums sums;
    for (std::ptrdiff_t n = 0, count = last - first + 1; n < count; ++n) {
        const double yi = y_i[n];
        if (!(yi >= trace)) continue;
        const double w = yi * m_inv[n];
        m.add(sets + kSets * n + (t > tbreak[n] ? kProdNasa9SetLen : 0), 1, w);
        sums.y_over_m += w;
        sums.mass += yi;
    }
    mix = m;
    return sums;
}

inline HCp SpeciesThermo::series(std::int32_t i, int n) const noexcept
{
    if (n > kSeriesMaxTerms) check_index("THERMO_COEF", 2, n, 1, kSeriesMaxTerms);
    return series_h_cp(coef_ + 27 * static_cast<std::ptrdiff_t>(i - 1), 3, n, series_);
}

inline HCp SpeciesThermo::gas(std::int32_t i, double third) const noexcept
{
    if (form_ == GasDataForm::series) return series(i, nterms_[i - 1]);
    return nasa9_h_cp(gas_nasa9_set(i), 3, r_gas(i), nasa9_, third);
}

inline int SpeciesThermo::product_full_terms(std::int32_t i) const noexcept
{
    return prod_nterms_[i - n_ordinary_ - 1];
}

inline int SpeciesThermo::product_terms(std::int32_t i, double y) const noexcept
{
    if (y >= 5.0e-6) return product_full_terms(i);
    return y >= 5.0e-7 ? 2 : 1;
}

inline HCp SpeciesThermo::product(std::int32_t i, int n) const noexcept
{
    if (form_ == GasDataForm::nasa9) return nasa9_h_cp(product_nasa9_set(i), 2, r_product(i), nasa9_);
    if (n > kProductSeriesTerms) check_index("PROD_CP_MASS", 1, n, 1, kProductSeriesTerms);
    return series_h_cp(prod_series_ + 8 * static_cast<std::ptrdiff_t>(i - n_ordinary_ - 1), 1, n, series_);
}

}  // namespace usersub::properties
