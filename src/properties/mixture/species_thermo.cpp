#include "properties/mixture/species_thermo.h"

#include "common/bounds.h"
#include "properties/species/product_species.h"
#include "properties/species/species_table.h"

namespace usersub::properties {
namespace {

constexpr std::int64_t kProductSeriesTerms = 8;  // PROD_CP_MASS coefficients per product

}  // namespace

GasDataForm run_gas_data_form() noexcept
{
    return species_table().products_switch == 1 ? GasDataForm::series : GasDataForm::nasa9;
}

SpeciesThermo::SpeciesThermo(GasDataForm form, double t_K) noexcept
    : form_(form), r_(kGasConstant)
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

    nasa9_.t = t_K;
    if (form == GasDataForm::nasa9)
        nasa9_ = nasa9_powers(t_K);
    else
        series_ = series_powers(t_K - tab.tref_thermo);
}

const double* SpeciesThermo::gas_nasa9_set(std::int32_t i) const noexcept
{
    const double t = nasa9_.t;
    const int set = t <= tbreak_[i - 1] ? 1 : (t <= tmax_[i - 1] ? 2 : 3);
    return coef_ + (set - 1) + 27 * static_cast<std::ptrdiff_t>(i - 1);
}

const double* SpeciesThermo::gas_nasa9_two_ranges(std::int32_t i) const noexcept
{
    const int set = nasa9_.t > tbreak_[i - 1] ? 2 : 1;
    return coef_ + (set - 1) + 27 * static_cast<std::ptrdiff_t>(i - 1);
}

const double* SpeciesThermo::product_nasa9_set(std::int32_t i) const noexcept
{
    const int set = nasa9_.t > tbreak_[i - 1] ? 2 : 1;
    return prod_nasa9_ + (set - 1) + 18 * static_cast<std::ptrdiff_t>(i - n_ordinary_ - 1);
}

HCp SpeciesThermo::series(std::int32_t i, int n) const noexcept
{
    if (n > kSeriesMaxTerms) check_index("THERMO_COEF", 2, n, 1, kSeriesMaxTerms);
    return series_h_cp(coef_ + 27 * static_cast<std::ptrdiff_t>(i - 1), 3, n, series_);
}

HCp SpeciesThermo::gas(std::int32_t i, double third) const noexcept
{
    if (form_ == GasDataForm::series) return series(i, nterms_[i - 1]);
    return nasa9_h_cp(gas_nasa9_set(i), 3, r_gas(i), nasa9_, third);
}

int SpeciesThermo::product_full_terms(std::int32_t i) const noexcept
{
    return prod_nterms_[i - n_ordinary_ - 1];
}

int SpeciesThermo::product_terms(std::int32_t i, double y) const noexcept
{
    if (y >= 5.0e-6) return product_full_terms(i);
    return y >= 5.0e-7 ? 2 : 1;
}

HCp SpeciesThermo::product(std::int32_t i, int n) const noexcept
{
    if (form_ == GasDataForm::nasa9) return nasa9_h_cp(product_nasa9_set(i), 2, r_product(i), nasa9_);
    if (n > kProductSeriesTerms) check_index("PROD_CP_MASS", 1, n, 1, kProductSeriesTerms);
    return series_h_cp(prod_series_ + 8 * static_cast<std::ptrdiff_t>(i - n_ordinary_ - 1), 1, n, series_);
}

}  // namespace usersub::properties
