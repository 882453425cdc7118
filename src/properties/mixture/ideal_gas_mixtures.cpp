#include "properties/mixture/ideal_gas_mixtures.h"

#include "common/bounds.h"
#include "common/fortran_format.h"
#include "common/output.h"
#include "common/run_stop.h"
#include "properties/mixture/mixture_realgas.h"
#include "properties/mixture/mixture_species.h"
#include "properties/mixture/species_thermo.h"
#include "properties/species/liquid_species.h"
#include "properties/species/product_species.h"
#include "properties/species/species_table.h"

#include <cmath>
#include <string>

namespace usersub::properties {
namespace {

// The rounded thirds these routines were fitted with.
constexpr double kIgaThird = 0.333333;
constexpr double kHelperThird = 0.3333333;

void check_composition_extent(std::int32_t last)
{
    if (last > 0) check_index("Y", 1, last, 1, species_table().nspecies);
}

}  // namespace

void propmix_iga(double p_Pa, double t_K, const double* y, double& rho_kg_m3, double& cp_J_kgK, double& h_J_kg,
                 double& e_J_kg, double& w_kg_kmol) noexcept
{
    if (t_K < 1.0e-18) {
        out::list("Negative temperature in calling PROPTHRM_IGA", t_K);
        stop_run();
    }
    const SpeciesTable& tab = species_table();
    const std::int32_t n = tab.nspecies;
    check_composition_extent(n);
    double y_sum = 0.0;
    double moles_kmol_kg = 0.0;
    for (std::int32_t i = 1; i <= n; ++i) {
        y_sum += y[i - 1];
        moles_kmol_kg += y[i - 1] * tab.pmwt_inv(i);
    }
    if (!(y_sum >= 0.99 && y_sum <= 1.01)) {
        std::string line = "F*** PROPMIX_IGA: Species Mass Fractions do not add to 1.000 = ";
        line += ' ';
        fmt::append_f(line, y_sum, 8, 4);
        out::write_line(line);
        stop_run();
    }
    const double w = 1.0 / moles_kmol_kg;
    w_kg_kmol = w;
    rho_kg_m3 = p_Pa * w / kGasConstant / t_K;

    const SpeciesThermo th(run_gas_data_form(), t_K);
    const std::int32_t n_ordinary = tab.props_scalar_3;
    if (th.form() == GasDataForm::series) {
        // Six terms per species, mixed on the molar basis X_i M_i / W.
        double cp = 0.0;
        double h = 0.0;
        for (std::int32_t i = 1; i <= n; ++i) {
            const double x_m = y[i - 1] * w * tab.pmwt_inv(i) * tab.pmwt(i);
            const HCp s = i <= n_ordinary ? th.series(i, 6) : th.product(i, 6);
            cp += x_m * s.cp_J_kgK;
            h += x_m * s.h_J_kg;
        }
        cp_J_kgK = cp / w;
        h_J_kg = h / w;
    } else {
        // The coefficients a1..b1, averaged with the mole fractions, make one
        // polynomial for the mixture.
        double b[8] = {};
        for (std::int32_t i = 1; i <= n; ++i) {
            const double x = y[i - 1] * w * tab.pmwt_inv(i);
            const bool ordinary = i <= n_ordinary;
            const double* a = ordinary ? th.gas_nasa9_two_ranges(i) : th.product_nasa9_set(i);
            const std::ptrdiff_t stride = ordinary ? 3 : 2;
            for (int j = 0; j < 8; ++j) b[j] += x * a[j * stride];
        }
        const HCp mix = nasa9_h_cp(b, 1, kGasConstant / w, th.nasa9(), kIgaThird);
        cp_J_kgK = mix.cp_J_kgK;
        h_J_kg = mix.h_J_kg;
    }
    e_J_kg = h_J_kg - kGasConstant * t_K / w;
}

void prodmix_props(std::int32_t all_species, std::int32_t species, double /*unread*/, double t_K, double p_Pa,
                   const double* y, double& rho_kg_m3, double& h_J_kg, double& cp_J_kgK, double& minus_h_species,
                   std::int32_t kind) noexcept
{
    const SpeciesTable& tab = species_table();
    check_composition_extent(tab.props_scalar_3);
    const SpeciesThermo th(run_gas_data_form(), t_K);
    const RealGasRule ideal{};
    double mass_sum = 0.0;
    double v_sum = 0.0;
    double h_sum = 0.0;
    double cp_sum = 0.0;
    if (kind != 3) {
        for (std::int32_t i = 1; i <= tab.props_scalar_3; ++i) {
            const double yi = y[i - 1];
            if (all_species != 1 && !(yi >= kTraceMassFraction)) continue;
            SpeciesState s;
            if (!ordinary_species_state(tab, th, ideal, i, yi, t_K, p_Pa, false, s)) continue;
            mass_sum += yi;
            v_sum += yi * s.v;
            h_sum += yi * s.h;
            cp_sum += yi * s.cp;
        }
        for (std::int32_t i = tab.props_scalar_2; i <= tab.nspecies; ++i) {
            const double yi = y[i - 1];
            if (!(yi >= kTraceMassFraction)) continue;
            const HCp s = th.product(i, th.product_terms(i, yi));
            mass_sum += yi;
            v_sum += yi * th.r_product(i) * t_K / p_Pa;
            h_sum += yi * s.h_J_kg;
            cp_sum += yi * s.cp_J_kgK;
        }
    }
    // Mixed as the mixture routine mixes: rho = 1 / (sum y v / S), h and cp over S.
    const bool entered = mass_sum > 0.0 && v_sum > 0.0;
    rho_kg_m3 = entered ? mass_sum / v_sum : 0.0;
    h_J_kg = entered ? h_sum / mass_sum : 0.0;
    cp_J_kgK = entered ? cp_sum / mass_sum : 0.0;

    double h_species = 0.0;
    if (species >= 1 && species <= tab.props_scalar_3) {
        SpeciesState s;
        if (ordinary_species_state(tab, th, ideal, species, 0.0, t_K, p_Pa, false, s)) h_species = s.h;
    } else if (species >= tab.props_scalar_2 && species <= tab.nspecies) {
        h_species = th.product(species, th.product_full_terms(species)).h_J_kg;
    }
    minus_h_species = -h_species;
}

double prodmix_realgas(std::int32_t i, double t_K, double p_Pa) noexcept
{
    const SpeciesTable& tab = species_table();
    const SpeciesThermo th(run_gas_data_form(), t_K);
    check_index("IPROPTYP", 1, i, 1, tab.nspecies);
    const bool product = i > tab.props_scalar_3;
    double h = 0.0;
    double r = 0.0;
    double tc_K = 0.0;
    double pc_Pa = 0.0;
    if (product) {
        const std::int32_t k = i - tab.props_scalar_3;
        h = th.product(i, th.product_full_terms(i)).h_J_kg;
        r = th.r_product(i);
        tc_K = product_species().prod_tcrit(k);
        pc_Pa = product_species().prod_pcrit(k);
    } else {
        switch (tab.iproptyp(i)) {
        case kGas:
            h = th.gas(i).h_J_kg;
            r = th.r_gas(i);
            tc_K = tab.tcrit(i);
            pc_Pa = tab.pcrit(i);
            break;
        case kConstantDensityLiquid:
            return constant_density_liquid(tab, th, i, p_Pa).h_J_kg;
        case kPolynomialLiquid: {
            double rho = 0.0;
            double drho_dT = 0.0;
            double d2rho_dT2 = 0.0;
            double drho_dP = 0.0;
            double cp = 0.0;
            double dh_dP = 0.0;
            liquid_density(i, t_K, p_Pa, rho, drho_dT, d2rho_dT2, drho_dP);
            liquid_species_props(i, t_K, p_Pa, h, cp, dh_dP, rho, drho_dT);
            return h;
        }
        default:
            return 0.0;
        }
    }
    if (tab.realgas_switch == 3 && (tab.realgas_flag(i) & 1) != 0) {
        RealGasRule rule = realgas_rule();
        rule.partial_pressure = false;  // a species alone sees the full pressure
        h += realgas_point(rule, 1, t_K, p_Pa, 1.0, tc_K, pc_Pa, r).h_dep_J_kg;
    }
    return h;
}

void prodmix_helper_a(std::int32_t i, double t_K, double& h_J_kg) noexcept
{
    check_index("THERMO_COEF", 3, i, 1, species_table().nspecies);
    const SpeciesThermo th(run_gas_data_form(), t_K);
    h_J_kg = th.gas(i, kHelperThird).h_J_kg;
}

void prodmix_helper_b(std::int32_t first, std::int32_t last, const double* y, double t_K, double& h_J_kg) noexcept
{
    h_J_kg = 0.0;
    if (last < first) return;
    check_index("Y", 1, first, 1, species_table().nspecies);
    check_index("Y", 1, last, 1, species_table().nspecies);
    const SpeciesThermo th(run_gas_data_form(), t_K);
    for (std::int32_t i = first; i <= last; ++i)
        if (y[i - 1] >= 1.0e-18) h_J_kg += y[i - 1] * th.gas(i, kHelperThird).h_J_kg;
}

}  // namespace usersub::properties
