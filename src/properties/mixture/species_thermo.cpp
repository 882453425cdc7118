#include "properties/mixture/species_thermo.h"

#include "common/bounds.h"
#include "properties/species/product_species.h"
#include "properties/species/species_table.h"

namespace usersub::properties {
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

}  // namespace usersub::properties
