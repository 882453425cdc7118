#include "properties/mixture/propmix.h"

#include "common/bounds.h"
#include "common/fortran_format.h"
#include "properties/equilibrium/equilibrium_driver.h"
#include "properties/mixture/mixture_realgas.h"
#include "properties/mixture/mixture_species.h"
#include "properties/mixture/species_thermo.h"
#include "properties/species/liquid_species.h"
#include "properties/species/product_species.h"
#include "properties/species/species_table.h"
#include "properties/reports/property_reports.h"

#include <cmath>
#include <string>

namespace usersub::properties {
namespace {

// What distinguishes the two forms of the mixture routine.
struct MixtureRules {
    bool kept_species;     // arguments kept_a, kept_b name species evaluated as traces
    bool run_data_form;    // PRODUCTS_SWITCH picks the gas data form; otherwise the power series
    bool realgas;          // REALGAS_SWITCH and the species' critical data are read
    bool evolution_words;  // USER_EVOLUTION words 113 and 219 are read
};

[[noreturn]] void fatal_state(double t_K, double p_Pa)
{
    FatalReport("F*** PROPMIX: Temperature and pressure must be positive")
        .state_values(t_K, p_Pa)
        .location(ReportLocation::mixture)
        .stop();
}

[[noreturn]] void fatal_mass_sum(double sum)
{
    std::string line = "F*** PROPMIX: Species Mass Fractions do not add to 1.000 = ";
    line += ' ';
    fmt::append_f(line, sum, 8, 4);
    FatalReport(line).location(ReportLocation::mixture).stop();
}

[[noreturn]] void fatal_liquid(double cp, double rho, double drho_dP, double p_Pa, double t_K)
{
    FatalReport("F*** One of the following liquid properties is negative: ")
        .labelled_value("     cp           = ", cp, " J/kg-K")
        .labelled_value("     rho          = ", rho, " kg/m^3")
        .labelled_value("     d(rho)/dP    = ", drho_dP * 1.0e5, " kg/m^3-bar")
        .labelled_value("     pressure     = ", p_Pa * 1.0e-5, " bar")
        .labelled_value("     temperature  = ", t_K, " K")
        .stop();
}

// The product species as ideal gases (no real-gas correction): h, cp, the sum
// of Y_i / M_i and the mass sum. In the NASA form each species' coefficients
// go into the mixed set, weighted by Y_i / M_i.
void ideal_products(const SpeciesTable& tab, const SpeciesThermo& th, const double* y, Nasa9Mix& mix,
                    double& h_sum, double& cp_sum, double& ym_sum, double& mass_sum) noexcept
{
    const std::int32_t first = tab.props_scalar_2, last = tab.nspecies;
    if (th.form() == GasDataForm::nasa9) {
        const SpeciesThermo::MixedSums s = th.mix_products(y, first, last, kTraceMassFraction, mix);
        ym_sum += s.y_over_m;
        mass_sum += s.mass;
        return;
    }
    double h = 0.0, cp = 0.0, ym = 0.0, mass = 0.0;
    for (std::int32_t i = first; i <= last; ++i) {
        const double yi = y[i - 1];
        if (!(yi >= kTraceMassFraction)) continue;
        const HCp g = th.product(i, th.product_terms(i, yi));
        h += yi * g.h_J_kg;
        cp += yi * g.cp_J_kgK;
        ym += yi * th.m_inv_product(i);
        mass += yi;
    }
    h_sum += h;
    cp_sum += cp;
    ym_sum += ym;
    mass_sum += mass;
}

void mixture(const MixtureRules& rules, const MixtureRequest& rq, std::int32_t& eq_flag, double t_K, double p_Pa,
             double* y, MixtureProps& out) noexcept
{
    const SpeciesTable& tab = species_table();
    if (!(t_K > 0.0) || !(p_Pa > 0.0)) fatal_state(t_K, p_Pa);

    const double p_inv = 1.0 / p_Pa;
    out.h_J_kg = 0.0;
    out.dh_dP = 0.0;
    out.dv_dT = 0.0;
    out.dv_dP = 0.0;

    // Equilibrium of the products, or the answer of a query call.
    const double t_threshold_K = product_species().prod_settings_real(2);
    if (rq.eq_switch == 2 || (rq.eq_switch == 1 && t_K > t_threshold_K)) {
        out.cp_J_kgK = 0.0;
        if (std::fabs(rq.eq_mode) > 0.1) {
            ecpinz(rq.eq_mode, t_K, p_Pa, y);
            eq_flag = 1;
        }
    } else {
        if (rq.query == 1) {
            out.cp_J_kgK = -1.0;
            return;
        }
        out.cp_J_kgK = 0.0;
    }

    const std::int32_t n_ordinary = tab.props_scalar_3;
    if (n_ordinary > 0) check_index("Y", 1, n_ordinary, 1, tab.nspecies);
    const bool realgas_on = tab.realgas_switch == 1 || tab.realgas_switch == 3;
    const RealGasRule rg = rules.realgas && realgas_on ? realgas_rule() : RealGasRule{};
    if (rules.realgas && (tab.realgas_switch & 1) != 0) fill_molefrac_work(y);
    const SpeciesThermo th(rules.run_data_form ? run_gas_data_form() : GasDataForm::series, t_K);
    // Word 219 steers the products' dh/dP, which only the real-gas correction gives.
    const std::int32_t word219 = rules.evolution_words && rg.on ? user_evolution(219) : 0;

    const std::int32_t* type = tab.iproptyp.data();
    const std::int32_t* rg_flag = tab.realgas_flag.data();
    const double* x = tab.molefrac_work.data();
    const std::int32_t pair_liquid_const = tab.loadprop4_int[1];

    // Running sums, kept local so that they stay in registers.
    double h_sum = 0.0;
    double cp_sum = 0.0;
    double vol_sum = 0.0;
    double dv_dT_sum = 0.0;
    double dv_dP_sum = 0.0;
    double dh_dP_sum = 0.0;
    double mass_sum = 0.0;
    // Sum of Y_i / M_i over the ideal gases: with Z = 1 their volume is
    // Y_i R_i T / P, its T derivative Y_i R_i / P and its P derivative
    // -Y_i R_i T / P^2, so they are added once at the end.
    double ym_ideal = 0.0;
    const double t_over_p = t_K * p_inv;
    // The NASA coefficients of the ideal gases, weighted by Y_i / M_i: one
    // evaluation at the end gives their h and cp.
    Nasa9Mix mix;
    double h_vapour = 0.0;
    double v_vapour = 0.0;
    double h_liquid = 0.0;
    double v_liquid = 0.0;

    // Ordinary species.
    for (std::int32_t i = 1; i <= n_ordinary; ++i) {
        const double yi = y[i - 1];
        if (!(yi >= kTraceMassFraction)) {
            const bool named = i == rq.liquid || i == rq.vapour ||
                               (rules.kept_species && (i == rq.kept_a || i == rq.kept_b));
            if (!named) continue;
        }

        if (type[i - 1] == kGas && !(yi > kTraceMassFraction && rg.on && (rg_flag[i - 1] & 1) != 0)) {
            // An ideal gas: its volume terms are those of R_i alone.
            const double ym = yi * th.m_inv_gas(i);
            if (th.form() == GasDataForm::nasa9) {
                mix.add(th.gas_nasa9_set(i), 3, ym);
            } else {
                const HCp g = th.gas(i);
                h_sum += yi * g.h_J_kg;
                cp_sum += yi * g.cp_J_kgK;
            }
            ym_ideal += ym;
            mass_sum += yi;
            if (i == rq.vapour) {
                h_vapour = th.gas(i).h_J_kg;
                v_vapour = th.r_gas(i) * t_over_p;
            }
            continue;
        }
        SpeciesState s;
        if (!ordinary_species_state(tab, th, rg, i, yi, t_K, p_Pa, true, s)) continue;
        if (type[i - 1] == kGas && i == rq.vapour) {
            h_vapour = s.h;
            v_vapour = s.v;
        }
        if ((type[i - 1] == kConstantDensityLiquid && i == pair_liquid_const) ||
            (type[i - 1] == kPolynomialLiquid && i == rq.liquid)) {
            h_liquid = s.h;
            v_liquid = s.v;
        }
        h_sum += yi * s.h;
        cp_sum += yi * s.cp;
        vol_sum += yi * s.v;
        dv_dT_sum += yi * s.dv_dT;
        dv_dP_sum += yi * s.dv_dP;
        dh_dP_sum += yi * s.dh_dP;
        mass_sum += yi;
    }

    // Product species, always gases; traces with shortened series. A product
    // that is the vapour of the phase pair gives its values to the pair
    // differences with its full polynomial, even as a trace; with the real-gas
    // correction on, the loop below corrects those of one that is not a trace.
    const std::int32_t v = rq.vapour;
    if (v >= tab.props_scalar_2 && v <= tab.nspecies) {
        h_vapour = th.product(v, th.product_full_terms(v)).h_J_kg;
        v_vapour = th.r_product(v) * t_over_p;
    }
    if (!rg.on) {
        ideal_products(tab, th, y, mix, h_sum, cp_sum, ym_ideal, mass_sum);
    } else {  // the real-gas correction on: each product by its own bit
        const double t_inv = 1.0 / t_K;
        for (std::int32_t i = tab.props_scalar_2; i <= tab.nspecies; ++i) {
            const double yi = y[i - 1];
            if (!(yi >= kTraceMassFraction)) continue;
            const double r = th.r_product(i);
            const int n_terms = th.product_terms(i, yi);
            RealGasPoint c;
            if ((rg_flag[i - 1] & 1) == 0) {
                if (word219 < 5) dh_dP_sum = 0.0;
            } else {
                const std::int32_t k = i - n_ordinary;
                c = realgas_point(rg, rg.form, t_K, p_Pa, x[i - 1], product_species().prod_tcrit(k),
                                  product_species().prod_pcrit(k), r);
            }
            const HCp g = th.product(i, n_terms);
            const double w = t_K * r * yi * p_inv;
            dv_dT_sum += (c.z * t_inv + c.dz_dT) * w;
            dv_dP_sum += (-c.z * p_inv + c.dz_dP) * w;
            vol_sum += c.z * w;
            h_sum += yi * (g.h_J_kg + c.h_dep_J_kg);
            cp_sum += yi * (g.cp_J_kgK + c.cp_dep_J_kgK);
            mass_sum += yi;
            if (word219 > 4) dh_dP_sum += yi * c.dh_dP;
            if (i == v) {  // the pair's values set above, with the departures of this point
                h_vapour += c.h_dep_J_kg;
                v_vapour *= c.z;
            }
        }
    }
    if (th.form() == GasDataForm::nasa9) {
        const HCp g = nasa9_h_cp(mix.set().data(), 1, kGasConstant, th.nasa9());
        h_sum += g.h_J_kg;
        cp_sum += g.cp_J_kgK;
    }
    const double yr_ideal = kGasConstant * ym_ideal;
    vol_sum += yr_ideal * t_over_p;
    dv_dT_sum += yr_ideal * p_inv;
    dv_dP_sum -= yr_ideal * t_over_p * p_inv;

    // Finish: normalise by the mass that took part.
    if (!(std::fabs(mass_sum - 1.0) <= 0.01)) fatal_mass_sum(mass_sum);
    const double s = 1.0 / mass_sum;
    out.rho_kg_m3 = mass_sum / vol_sum;  // 1 / (s vol_sum)
    out.h_J_kg = h_sum * s;
    out.cp_J_kgK = cp_sum * s;
    out.dh_dP = dh_dP_sum * s;
    out.dv_dT = dv_dT_sum * s;
    out.dv_dP = dv_dP_sum * s;
    const double rho2 = out.rho_kg_m3 * out.rho_kg_m3;
    out.drho_dT = -rho2 * out.dv_dT;
    out.drho_dP = -rho2 * out.dv_dP;
    const bool floor_drho_dP = rules.evolution_words ? user_evolution(113) < 4 : true;
    if (floor_drho_dP && out.drho_dP < 1.0e-18) out.drho_dP = 1.0e-18;
    if (rq.pair_switch == 1) {
        out.delta_h_J_kg = h_vapour - h_liquid;
        out.delta_v_m3_kg = v_vapour - v_liquid;
    } else {
        out.delta_h_J_kg = 0.0;
        out.delta_v_m3_kg = 0.0;
    }
}

}  // namespace

SpeciesState gas_state(HCp ideal, double r_J_kgK, double t_K, double p_Pa, const RealGasPoint& c) noexcept
{
    const GasVolume gv = gas_volume(r_J_kgK, t_K, p_Pa, c);
    SpeciesState s;
    s.h = ideal.h_J_kg + c.h_dep_J_kg;
    s.cp = ideal.cp_J_kgK + c.cp_dep_J_kgK;
    s.v = gv.v;
    s.dv_dT = gv.dv_dT;
    s.dv_dP = gv.dv_dP;
    s.dh_dP = c.dh_dP;
    return s;
}

HCp constant_density_liquid(const SpeciesTable& tab, const SpeciesThermo& th, std::int32_t i, double p_Pa) noexcept
{
    constexpr double kReferencePressure_Pa = 1.0e5;  // where the base enthalpy holds
    HCp s = th.form() == GasDataForm::series ? th.series(i, 4) : th.gas(i);
    s.h_J_kg += (p_Pa - kReferencePressure_Pa) / tab.rho_const(i);
    return s;
}

bool ordinary_species_state(const SpeciesTable& tab, const SpeciesThermo& th, const RealGasRule& rg, std::int32_t i,
                            double y_i, double t_K, double p_Pa, bool liquid_stability, SpeciesState& s) noexcept
{
    switch (tab.iproptyp.data()[i - 1]) {
    case kGas: {
        RealGasPoint c;
        if (y_i > kTraceMassFraction && rg.on && (tab.realgas_flag.data()[i - 1] & 1) != 0)
            c = realgas_point(rg, rg.form_ordinary, t_K, p_Pa, tab.molefrac_work(i), tab.tcrit(i), tab.pcrit(i),
                              th.r_gas(i));
        s = gas_state(th.gas(i), th.r_gas(i), t_K, p_Pa, c);
        return true;
    }
    case kConstantDensityLiquid: {
        const HCp liquid = constant_density_liquid(tab, th, i, p_Pa);
        const double rho = tab.rho_const(i);
        s.h = liquid.h_J_kg;
        s.cp = liquid.cp_J_kgK;
        s.v = 1.0 / rho;
        s.dh_dP = 1.0 / rho;
        s.dv_dT = -1.0e-18;
        s.dv_dP = -1.0e-18;
        return true;
    }
    case kPolynomialLiquid: {
        double rho = 0.0;
        double drho_dT = 0.0;
        double d2rho_dT2 = 0.0;
        double drho_dP = 0.0;
        liquid_density(i, t_K, p_Pa, rho, drho_dT, d2rho_dT2, drho_dP);
        liquid_species_props(i, t_K, p_Pa, s.h, s.cp, s.dh_dP, rho, drho_dT);
        if (liquid_stability) {
            const double limit = 0.375 * s.cp * rho * rho * drho_dP / t_K;
            if (!(limit > 0.0)) fatal_liquid(s.cp, rho, drho_dP, p_Pa, t_K);
            if (std::fabs(drho_dT) > std::sqrt(limit)) drho_dT = -std::sqrt(limit);
        }
        s.v = 1.0 / rho;
        s.dv_dT = -drho_dT / (rho * rho);
        s.dv_dP = -drho_dP / (rho * rho);
        return true;
    }
    default:
        return false;
    }
}

void propmix(const MixtureRequest& rq, std::int32_t& eq_flag, double t_K, double p_Pa, double* y,
             MixtureProps& out) noexcept
{
    constexpr MixtureRules rules{.kept_species = true, .run_data_form = true, .realgas = true,
                                 .evolution_words = true};
    mixture(rules, rq, eq_flag, t_K, p_Pa, y, out);
}

void propmix_b(const MixtureRequest& rq, std::int32_t& eq_flag, double t_K, double p_Pa, double* y,
               MixtureProps& out) noexcept
{
    constexpr MixtureRules rules{
        .kept_species = false,     // no kept-species arguments
        .run_data_form = false,    // gases from the power series alone
        .realgas = false,          // ideal gases only
        .evolution_words = false,  // drho/dP always kept at 1e-18 or above; product dh/dP not added
    };
    mixture(rules, rq, eq_flag, t_K, p_Pa, y, out);
}

}  // namespace usersub::properties
