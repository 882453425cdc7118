#include "properties/state/ph_state.h"

#include "common/bounds.h"
#include "properties/mixture/mixture_realgas.h"
#include "properties/mixture/mixture_species.h"
#include "properties/mixture/species_thermo.h"
#include "properties/species/liquid_species.h"
#include "properties/species/product_species.h"
#include "properties/species/species_table.h"

#include <algorithm>
#include <cmath>

namespace usersub::properties {
namespace {

constexpr int kMaxEvaluations = 10;
constexpr double kTMin_K = 2.0;
constexpr double kTMax_K = 3000.0;

void check_composition_extent(const SpeciesTable& tab)
{
    if (tab.props_scalar_3 > 0) check_index("Y", 1, tab.props_scalar_3, 1, tab.nspecies);
}

}  // namespace

void empty_stub_a(double&, double, const double*, double, double&, double&, double&, double&, double&,
                  double&) noexcept
{
}

void empty_stub_b(void*, void*, void*, void*, void*, void*, void*, void*, void*, void*, void*, void*, void*,
                  void*, void*) noexcept
{
}

void zalthrm_ph_solve(double& t_K, double p_Pa, const double* y, double h_target_J_kg, double& cp_J_kgK,
                      std::int32_t fluid_kind, std::int32_t h_switch, double tol_K) noexcept
{
    if (fluid_kind == 3) {
        double work[5] = {};
        empty_stub_a(t_K, p_Pa, y, h_target_J_kg, cp_J_kgK, work[0], work[1], work[2], work[3], work[4]);
        return;
    }
    for (int n = 0; n < kMaxEvaluations; ++n) {
        double h_J_kg = 0.0;
        mix_enthalpy(h_switch, t_K, p_Pa, y, h_J_kg, cp_J_kgK);
        const double dt_K = (h_target_J_kg - h_J_kg) / cp_J_kgK;
        const double t_new_K = t_K + dt_K;
        if (std::fabs(dt_K) < tol_K) {
            t_K = t_new_K;
            return;
        }
        t_K = std::clamp(t_new_K, kTMin_K, kTMax_K);
    }
}

void mix_enthalpy(std::int32_t h_switch, double t_K, double p_Pa, const double* y, double& h_J_kg,
                  double& cp_J_kgK) noexcept
{
    const SpeciesTable& tab = species_table();
    check_composition_extent(tab);
    const SpeciesThermo th(run_gas_data_form(), t_K);
    const std::int32_t* type = tab.iproptyp.data();

    double h_sum = 0.0;
    double cp_sum = 0.0;
    double mass_sum = 0.0;
    for (std::int32_t i = 1; i <= tab.props_scalar_3; ++i) {
        const double yi = y[i - 1];
        if (h_switch != 1 && !(yi >= kTraceMassFraction)) continue;
        HCp s;
        switch (type[i - 1]) {
        case kGas:
            s = th.gas(i);
            break;
        case kConstantDensityLiquid:
            s = constant_density_liquid(tab, th, i, p_Pa);
            break;
        case kPolynomialLiquid:
            liquid_species_h(i, t_K, p_Pa, s.h_J_kg, s.cp_J_kgK);
            break;
        default:
            continue;
        }
        h_sum += yi * s.h_J_kg;
        cp_sum += yi * s.cp_J_kgK;
        mass_sum += yi;
    }
    for (std::int32_t i = tab.props_scalar_2; i <= tab.nspecies; ++i) {
        const double yi = y[i - 1];
        if (!(yi >= kTraceMassFraction)) continue;
        const HCp s = th.product(i, th.product_terms(i, yi));
        h_sum += yi * s.h_J_kg;
        cp_sum += yi * s.cp_J_kgK;
        mass_sum += yi;
    }
    // Normalised by the mass that counted; nothing counted gives 0, not 0/0.
    h_J_kg = mass_sum > 0.0 ? h_sum / mass_sum : 0.0;
    cp_J_kgK = mass_sum > 0.0 ? cp_sum / mass_sum : 0.0;
}

void realgas_state(std::int32_t species_switch, std::int32_t species_a, std::int32_t species_b, double t_K,
                   double p_Pa, double /*h_J_kg, not read*/, const double* y, double& rho_kg_m3, double& drho_dT,
                   double& drho_dP, double& dv, std::int32_t fluid_kind) noexcept
{
    if (fluid_kind == 3) return;
    const SpeciesTable& tab = species_table();
    check_composition_extent(tab);
    const RealGasRule rule = realgas_rule();
    // The partial pressures come from this composition, not from whatever
    // mole fractions an earlier evaluation left in the work array.
    if (rule.on) fill_molefrac_work(y);
    const double* x = tab.molefrac_work.data();
    const std::int32_t* type = tab.iproptyp.data();

    double mass_sum = 0.0;
    double v_sum = 0.0;
    double dv_dT_sum = 0.0;
    double dv_dP_sum = 0.0;
    double v_a = 0.0;
    double v_b = 0.0;
    const auto add = [&](double yi, const GasVolume& g) {
        mass_sum += yi;
        v_sum += yi * g.v;
        dv_dT_sum += yi * g.dv_dT;
        dv_dP_sum += yi * g.dv_dP;
    };

    for (std::int32_t i = 1; i <= tab.props_scalar_3; ++i) {
        const double yi = y[i - 1];
        if (species_switch != 1 && !(yi >= kTraceMassFraction)) continue;
        GasVolume g;
        switch (type[i - 1]) {
        case kGas: {
            RealGasPoint c;
            const double r = kGasConstant * tab.pmwt_inv(i);
            if (rule.on && (tab.realgas_flag(i) & 1) != 0)
                c = realgas_point(rule, rule.form_ordinary, t_K, p_Pa, x[i - 1], tab.tcrit(i), tab.pcrit(i), r);
            g = gas_volume(r, t_K, p_Pa, c);
            if (i == species_b) v_b = g.v;
            break;
        }
        case kConstantDensityLiquid:
            g.v = 1.0 / tab.rho_const(i);
            g.dv_dT = -1.0e-18;
            g.dv_dP = -1.0e-18;
            if (i == species_a) v_a = g.v;
            break;
        case kPolynomialLiquid: {
            double rho = 0.0;
            double drho_dt = 0.0;
            double d2rho_dt2 = 0.0;
            double drho_dp = 0.0;
            liquid_density(i, t_K, p_Pa, rho, drho_dt, d2rho_dt2, drho_dp);
            g.v = 1.0 / rho;
            g.dv_dT = -drho_dt / (rho * rho);
            g.dv_dP = -drho_dp / (rho * rho);
            if (i == species_a) v_a = g.v;
            break;
        }
        default:
            continue;
        }
        add(yi, g);
    }

    if (tab.props_scalar_2 <= tab.nspecies) {
        const SpeciesThermo th(GasDataForm::series, t_K);  // checks the product block's extent
        const ProductSpeciesSet& prod = product_species();
        for (std::int32_t i = tab.props_scalar_2; i <= tab.nspecies; ++i) {
            const double yi = y[i - 1];
            if (!(yi >= kTraceMassFraction)) continue;
            const std::int32_t k = i - tab.props_scalar_3;
            const double r = th.r_product(i);
            RealGasPoint c;
            if (rule.on && (tab.realgas_flag(i) & 1) != 0)
                c = realgas_point(rule, rule.form, t_K, p_Pa, x[i - 1], prod.prod_tcrit(k), prod.prod_pcrit(k), r);
            const GasVolume g = gas_volume(r, t_K, p_Pa, c);
            if (i == species_b) v_b = g.v;
            add(yi, g);
        }
    }

    rho_kg_m3 = mass_sum / v_sum;
    const double rho2 = rho_kg_m3 * rho_kg_m3;
    drho_dT = -dv_dT_sum / mass_sum * rho2;
    drho_dP = -dv_dP_sum / mass_sum * rho2;
    if (user_evolution(113) < 4 && drho_dP < 1.0e-18) drho_dP = 1.0e-18;
    dv = v_b - v_a;
}

}  // namespace usersub::properties
