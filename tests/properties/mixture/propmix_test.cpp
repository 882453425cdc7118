// The mixture routines and the pressure-enthalpy state on the species
// fixture. Reference values come from the NASA polynomials of the fixture's
// data (evaluated here) and from the ideal-gas law worked by hand.
#include "properties/mixture/ideal_gas_mixtures.h"
#include "properties/mixture/propmix.h"
#include "properties/species/product_species.h"
#include "properties/species/species_density.h"
#include "properties/species/species_table_rw.h"
#include "properties/state/ph_state.h"
#include "support/child.h"
#include "support/fixture_gases.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>

namespace usersub::properties {
namespace {

using namespace usersub::test;

MixtureProps frozen(double t_K, double p_Pa, Composition y, MixtureRequest rq = {}, std::int32_t* flag_out = nullptr)
{
    MixtureProps out;
    std::int32_t flag = 0;
    propmix(rq, flag, t_K, p_Pa, y.data(), out);
    if (flag_out != nullptr) *flag_out = flag;
    return out;
}

// a5 of the range that holds T: the coefficient the rounded third multiplies.
double nasa_a5(const char* name, double t_K) { return nasa9(name).ranges[t_K <= 1000.0 ? 0 : 1][6]; }

// Air, methane and every product (majors down to 2e-7 traces), and nitrogen
// alone in its third range: h, cp, rho and the ideal-gas derivatives against
// the species' own polynomials summed here, in each range and at the break.
TEST(Propmix, BurntGasFromEverySpeciesOwnPolynomials)
{
    test::load_species_fixture();
    const Composition burnt = test::burnt_gas_with_reactants();
    const Composition n2 = composition({{fx::kN2, 1.0}});
    const double p = 3.0e5;
    for (const auto& [t, y] : {std::pair{300.0, burnt}, std::pair{700.0, burnt}, std::pair{1000.0, burnt},
                               std::pair{1500.0, burnt}, std::pair{3000.0, burnt}, std::pair{6500.0, n2}}) {
        SCOPED_TRACE(t);
        const test::NasaMixture ref = test::nasa_mixture(y, t);
        const double v = ref.r_J_kgK * t / p;
        const MixtureProps m = frozen(t, p, y);
        EXPECT_NEAR(m.h_J_kg, ref.h_J_kg, 1e-10 * ref.h_scale);
        EXPECT_NEAR(m.cp_J_kgK, ref.cp_J_kgK, 1e-10 * ref.cp_J_kgK);
        EXPECT_NEAR(m.rho_kg_m3, 1.0 / v, 1e-12 / v);
        EXPECT_NEAR(m.dv_dT, v / t, 1e-12 * v / t);
        EXPECT_NEAR(m.dv_dP, -v / p, 1e-12 * v / p);
        EXPECT_NEAR(m.drho_dP, 1.0 / (v * p), 1e-12 / (v * p));
        EXPECT_NEAR(m.drho_dT, -1.0 / (v * t), 1e-12 / (v * t));
        EXPECT_EQ(m.dh_dP, 0.0);
    }
}

// Corrected and ideal gases side by side, a kept 5e-9 trace, a corrected
// product and a 2e-6 product without the real-gas bit (which clears the dh/dP
// sum): the mixture against each species' own terms summed here, both forms.
TEST(Propmix, RealGasAndIdealSpeciesSideBySide)
{
    for (int form : {0, 1}) {
        SCOPED_TRACE(form);
        test::load_species_fixture({.products_switch = form, .realgas_switch = 3});
        const SpeciesTable& tab = species_table();
        tab.realgas_flag(fx::kO2) = 0;
        tab.realgas_flag(fx::product(1)) = 1;
        const double t = 280.0, p = 1.0e7, dt = t - tab.tref_thermo;
        const Composition y = composition({{fx::kN2, 0.55}, {fx::kO2, 0.15}, {fx::kCH4, 5e-9},
                                           {fx::product(1), 0.3 - 2e-6}, {fx::product(2), 2e-6}});
        const int ids[5] = {fx::kN2, fx::kO2, fx::kCH4, fx::product(1), fx::product(2)};
        double moles = 0.0;
        for (int i : ids) moles += y[i - 1] / nasa9(test::nasa_name(i)).mw;
        double h = 0.0, cp = 0.0, v = 0.0, dv_dT = 0.0, mass = 0.0;
        for (int i : ids) {
            const char* name = test::nasa_name(i);
            const double yi = y[i - 1], r = kR / nasa9(name).mw;
            double hi = nasa_h_J_kg(name, t), cpi = nasa_cp_J_kgK(name, t);
            if (form == 1) {  // the series of the set: the products' 2e-6 trace keeps two terms
                const int k = i - fx::kOrdinary;
                const int terms = i <= fx::kOrdinary ? tab.thermo_nterms(i) : (yi < 5e-6 ? 2 : product_species().prod_settings(k));
                hi = cpi = 0.0;
                for (int j = 0; j < terms; ++j) {
                    const double c = i <= fx::kOrdinary ? tab.thermo_coef(1, j + 1, i) : product_species().prod_cp_mass(j + 1, k);
                    hi += c * std::pow(dt, j);
                    if (j > 0) cpi += j * c * std::pow(dt, j - 1);
                }
            }
            double z = 1.0, h_dep = 0.0, dh_dP = 0.0, dz_dP = 0.0, dz_dT = 0.0, cp_dep = 0.0;
            if (i != fx::kO2 && i != fx::kCH4 && i != fx::product(2))  // partial pressure X_i P
                realgas_z(t, yi / nasa9(name).mw / moles * p, tab.tcrit(i), tab.pcrit(i), r, z, h_dep, dh_dP, 1,
                          dz_dP, dz_dT, cp_dep);
            if (i == fx::kN2) {
                EXPECT_LT(z, 0.995);
            }
            h += yi * (hi + h_dep);
            cp += yi * (cpi + cp_dep);
            mass += yi;
            v += yi * r * t * z / p;
            dv_dT += yi * r / p * (z + t * dz_dT);
        }
        const MixtureProps m = frozen(t, p, y, {.kept_a = fx::kCH4});
        EXPECT_NEAR(m.h_J_kg, h / mass, 1e-11 * 3e6);
        EXPECT_NEAR(m.cp_J_kgK, cp / mass, 1e-10 * m.cp_J_kgK);
        EXPECT_NEAR(m.rho_kg_m3, mass / v, 1e-12 * m.rho_kg_m3);
        EXPECT_NEAR(m.dv_dT, dv_dT / mass, 1e-12 * m.dv_dT);
        EXPECT_EQ(m.dh_dP, 0.0);
    }
}

TEST(Propmix, LiquidsThePhasePairAndTheStabilityClip)
{
    test::load_species_fixture();
    // Constant-density water alone (its enthalpy is checked with the phase pair below).
    const MixtureProps water = frozen(300.0, 1.0e5, composition({{fx::kH2OLiquid, 1.0}}));
    EXPECT_DOUBLE_EQ(water.rho_kg_m3, 997.05);
    EXPECT_DOUBLE_EQ(water.dh_dP, 1.0 / 997.05);
    EXPECT_NEAR(water.drho_dP, 1e-18 * 997.05 * 997.05, 1e-24);

    // Water paired with the products' water vapour, present and absent: the
    // vapour's values come from its full polynomial.
    const double t = 400.0, p = 3.0e5;
    const double h_liquid = -285.83e6 / 18.01528 + 4181.3 * (t - 298.15) + (p - 1.0e5) / 997.05;
    const double v_vapour = kR / nasa9("H2O").mw * t / p;
    const MixtureRequest rq{.pair_switch = 1, .liquid = fx::kH2OLiquid, .vapour = fx::product(2)};
    for (double y_vapour : {0.3, 0.0}) {
        SCOPED_TRACE(y_vapour);
        const MixtureProps m =
            frozen(t, p, composition({{fx::kH2OLiquid, 1.0 - y_vapour}, {fx::product(2), y_vapour}}), rq);
        EXPECT_NEAR(m.delta_h_J_kg, nasa_h_J_kg("H2O", t) - h_liquid, 1e-6);
        EXPECT_NEAR(m.delta_v_m3_kg, v_vapour - 1.0 / 997.05, 1e-12);
    }

    // n-heptane with a steep density slope: drho/dT is held at -sqrt(0.375 cp rho^2 drho/dP / T).
    species_table_rw().liq_coef_a(2, fx::kC7H16Liquid) = -5.0;  // kg/(m3 K)
    const double t_ref = 298.15, rho = 679.5, drho_dP = 0.098e-5;  // r1 at the reference state, r5 in 1/Pa
    const MixtureProps m = frozen(t_ref, 1.0e5, composition({{fx::kC7H16Liquid, 1.0}}));
    const double limit = std::sqrt(0.375 * m.cp_J_kgK * rho * rho * drho_dP / t_ref);
    EXPECT_NEAR(m.drho_dT, -limit, 1e-9 * limit);
    EXPECT_NEAR(m.drho_dP, drho_dP, 1e-12 * drho_dP);  // through dv/dP = -(drho/dP) / rho^2

    // A density that falls with pressure ends the run with the five values
    // (cp, from the enthalpy correlation, is checked for its label and unit).
    species_table_rw().liq_coef_a(5, fx::kC7H16Liquid) = -0.098;  // kg/(m3 bar)
    const auto r = run_in_child([] { (void)frozen(300.0, 1.0e5, composition({{fx::kC7H16Liquid, 1.0}})); });
    const std::string head = "F*** One of the following liquid properties is negative: \n     cp           = ";
    const std::string tail = " J/kg-K\n"
                             "     rho          =    670.2     kg/m^3\n"  // 679.5 - 5 * 1.85 - 9e-4 * 1.85^2
                             "     d(rho)/dP    =  -0.9800E-01 kg/m^3-bar\n"
                             "     pressure     =    1.000     bar\n"
                             "     temperature  =    300.0     K\n";
    ASSERT_EQ(std::pair(r.exit_status, r.output.size()), std::pair(1, head.size() + 12 + tail.size()));
    EXPECT_EQ(r.output.substr(0, head.size()) + r.output.substr(head.size() + 12), head + tail);
}

// The mass sum may be off by 0.01, and a 5e-9 trace that is not named
// contributes nothing, not even to that sum; beyond it, and at T = 0, the run ends.
TEST(Propmix, MassSumAndTraces)
{
    test::load_species_fixture();
    const MixtureProps m = frozen(700.0, 1e5, composition({{fx::kN2, 1.0099}}));
    EXPECT_NEAR(m.h_J_kg, nasa_h_J_kg("N2", 700.0), 1e-6);
    EXPECT_NEAR(m.rho_kg_m3, 1e5 / (kR / nasa9("N2").mw * 700.0), 1e-12);
    const MixtureProps with_trace = frozen(700.0, 1e5, composition({{fx::kN2, 1.0}, {fx::kCH4, 5e-9}}));
    EXPECT_DOUBLE_EQ(with_trace.h_J_kg, nasa_h_J_kg("N2", 700.0));

    expect_child_stop([] { (void)frozen(700.0, 1e5, composition({{fx::kN2, 1.0101}})); },
                      "F*** PROPMIX: Species Mass Fractions do not add to 1.000 =    1.0101\n"
                      "At location:       0  Part = unknown\n");
    expect_child_stop_mentioning([] { (void)frozen(0.0, 1e5, composition({{fx::kN2, 1.0}})); },
                                 "F*** PROPMIX: Temperature and pressure must be positive");
}

TEST(Propmix, EquilibriumDecisionAndQueryCall)
{
    test::load_species_fixture();
    const Composition products = composition({{fx::product(3), 0.75}, {fx::product(1), 0.15}, {fx::product(2), 0.10}});
    for (auto [eq_switch, t_K, mode, expected] : {std::tuple{1, 1600.0, 1000.0, 0}, {1, 1600.001, 1000.0, 1},
                                                  {2, 500.0, 1000.0, 1}, {2, 500.0, 0.1, 0}, {0, 2500.0, 1000.0, 0}}) {
        std::int32_t flag = -1;
        (void)frozen(t_K, 1e5, products, {.eq_switch = eq_switch, .eq_mode = mode}, &flag);
        EXPECT_EQ(flag, expected) << t_K;
    }
    // A query call without equilibrium answers cp = -1 and touches only h, dh/dP, dv/dT, dv/dP.
    MixtureProps out;
    out.rho_kg_m3 = out.drho_dT = out.h_J_kg = out.dv_dT = 7.0;
    Composition y = products;
    std::int32_t flag = 0;
    propmix({.eq_switch = 1, .query = 1, .eq_mode = 1.0}, flag, 1500.0, 1e5, y.data(), out);
    EXPECT_EQ((std::array{out.cp_J_kgK, out.h_J_kg, out.dv_dT, out.rho_kg_m3, out.drho_dT}),
              (std::array{-1.0, 0.0, 0.0, 7.0, 7.0}));
}

TEST(Propmix, TraceProductsUseShortenedSeries)
{
    test::load_species_fixture({.products_switch = 1});
    const auto& series = product_species().prod_cp_mass;
    const double t = 1200.0, dt = t - 298.15;
    const auto h_terms = [&](int k, int n) {
        double h = 0.0;
        for (int j = 0; j < n; ++j) h += series(j + 1, k) * std::pow(dt, j);
        return h;
    };
    // Argon carries two terms; carbon dioxide traces of 1e-6 (two terms) and 3e-7 (one term).
    for (auto [y_trace, n] : {std::pair{1e-6, 2}, std::pair{3e-7, 1}}) {
        SCOPED_TRACE(n);
        const double y_ar = 1.0 - y_trace;
        const MixtureProps m = frozen(t, 1e5, composition({{fx::product(12), y_ar}, {fx::product(1), y_trace}}));
        EXPECT_NEAR(m.h_J_kg, y_ar * h_terms(12, 2) + y_trace * h_terms(1, n), 1e-6);
        EXPECT_NEAR(m.cp_J_kgK, y_ar * series(2, 12) + (n == 2 ? y_trace * series(2, 1) : 0.0), 1e-9);
    }
}

TEST(Propmix, SecondFormMatchesTheLiveRoutineWithoutRealGases)
{
    test::load_species_fixture({.products_switch = 1});
    const Composition y = composition({{fx::kN2, 0.5}, {fx::kCH4, 0.05}, {fx::kC7H16Liquid, 0.1}, {fx::kH2OLiquid, 0.1},
                                       {fx::product(1), 0.15}, {fx::product(2), 0.1 - 2e-6}, {fx::product(9), 2e-6}});
    const MixtureRequest rq{.pair_switch = 1, .liquid = fx::kH2OLiquid, .vapour = fx::product(2)};
    for (double t : {350.0, 900.0}) {
        Composition y2 = y;
        MixtureProps a = frozen(t, 4e5, y, rq), b;
        std::int32_t flag = 0;
        propmix_b(rq, flag, t, 4e5, y2.data(), b);
        for (auto field : {&MixtureProps::rho_kg_m3, &MixtureProps::h_J_kg, &MixtureProps::cp_J_kgK,
                           &MixtureProps::dh_dP, &MixtureProps::delta_h_J_kg, &MixtureProps::drho_dT,
                           &MixtureProps::drho_dP, &MixtureProps::delta_v_m3_kg})
            EXPECT_DOUBLE_EQ(a.*field, b.*field);
    }
    // The second form has no kept species: a 5e-9 trace named as one stays out.
    Composition traced = y;
    traced[fx::kCH4 - 1] = 5e-9;
    traced[fx::kN2 - 1] = 0.55 - 5e-9;
    const MixtureRequest kept{.kept_a = fx::kCH4};
    MixtureProps second;
    std::int32_t flag = 0;
    propmix_b(kept, flag, 600.0, 4e5, traced.data(), second);
    EXPECT_DOUBLE_EQ(second.h_J_kg, frozen(600.0, 4e5, traced).h_J_kg);
    EXPECT_NE(second.h_J_kg, frozen(600.0, 4e5, traced, kept).h_J_kg);
}

TEST(IdealGasMixture, MolarAverageOfTheNasaPolynomials)
{
    test::load_species_fixture();
    Composition y = composition({{fx::kN2, 0.7}, {fx::kO2, 0.2}, {fx::product(1), 0.1}});  // CO2 of the products
    const double t = 2500.0, p = 3.0e5;
    double rho = 0.0, cp = 0.0, h = 0.0, e = 0.0, w = 0.0;
    propmix_iga(p, t, y.data(), rho, cp, h, e, w);

    // Per kg the mass sum of the polynomials; h with a5 T^3 times 0.333333 in place of 1/3.
    const test::NasaMixture ref = test::nasa_mixture(y, t);
    double h_rounding = 0.0;
    for (int i : {fx::kN2, fx::kO2, fx::product(1)}) {
        const char* name = test::nasa_name(i);
        h_rounding += y[i - 1] * kR / nasa9(name).mw * (1.0 / 3.0 - 0.333333) * nasa_a5(name, t) * t * t * t;
    }
    const double w_ref = kR / ref.r_J_kgK;
    EXPECT_NEAR(w, w_ref, 1e-12);
    EXPECT_NEAR(rho, p * w_ref / (kR * t), 1e-12);
    EXPECT_NEAR(cp, ref.cp_J_kgK, 1e-9);
    EXPECT_NEAR(h, ref.h_J_kg - h_rounding, 1e-6);
    EXPECT_NEAR(e, h - kR * t / w_ref, 1e-6);

    // The sum may be off by 0.01; beyond that, and at T = 0 before any sum, the run ends.
    y[fx::kN2 - 1] = 0.71;
    propmix_iga(p, t, y.data(), rho, cp, h, e, w);
    y[fx::kN2 - 1] = 0.7101;
    expect_child_stop([&] { propmix_iga(p, t, y.data(), rho, cp, h, e, w); },
                      "F*** PROPMIX_IGA: Species Mass Fractions do not add to 1.000 =    1.0101\n");
    expect_child_stop([&] { propmix_iga(p, 0.0, y.data(), rho, cp, h, e, w); },
                      " Negative temperature in calling PROPTHRM_IGA 0.0\n");
}

TEST(ProductMixture, PropertiesByTypeAndSpeciesEnthalpies)
{
    test::load_species_fixture();
    Composition y = composition({{fx::kN2, 1.0}, {fx::kCH4, 5e-9}});
    const double t = 800.0, p = 2.0e5;
    double rho = 0.0, h = 0.0, cp = 0.0, minus_h = 0.0;
    // The trace of methane enters only with the all-species flag.
    prodmix_props(0, fx::kCH4, 0.0, t, p, y.data(), rho, h, cp, minus_h, 0);
    EXPECT_NEAR(h, nasa_h_J_kg("N2", t), 1e-6);
    EXPECT_NEAR(rho, p * nasa9("N2").mw / (kR * t), 1e-12);
    EXPECT_NEAR(minus_h, -nasa_h_J_kg("CH4", t), 1e-6);
    prodmix_props(1, fx::kCH4, 0.0, t, p, y.data(), rho, h, cp, minus_h, 0);
    EXPECT_NEAR(h, (nasa_h_J_kg("N2", t) + 5e-9 * nasa_h_J_kg("CH4", t)) / (1.0 + 5e-9), 1e-6);

    // Species enthalpies per kg: the helpers' a5 term carries 0.3333333.
    EXPECT_NEAR(prodmix_realgas(fx::kO2, t, p), nasa_h_J_kg("O2", t), 1e-6);
    EXPECT_NEAR(prodmix_realgas(fx::product(2), t, p), nasa_h_J_kg("H2O", t), 1e-6);
    const double third_error = (1.0 / 3.0 - 0.3333333) * t * t * t;
    double h_o2 = 0.0, h_ch4 = 0.0, h_sum = 0.0;
    prodmix_helper_a(fx::kO2, t, h_o2);
    EXPECT_NEAR(h_o2, nasa_h_J_kg("O2", t) - kR / nasa9("O2").mw * third_error * nasa_a5("O2", t), 1e-6);
    y[fx::kO2 - 1] = 0.25;
    prodmix_helper_b(fx::kO2, fx::kCH4, y.data(), t, h_sum);
    prodmix_helper_a(fx::kCH4, t, h_ch4);
    EXPECT_NEAR(h_sum, 0.25 * h_o2 + 5e-9 * h_ch4, 1e-6);  // nitrogen (species 1) is outside the range
    prodmix_helper_b(fx::kCH4, fx::kO2, y.data(), t, h_sum);
    EXPECT_EQ(h_sum, 0.0);
}

TEST(PhState, NewtonOnTheMixtureEnthalpy)
{
    test::load_species_fixture({.products_switch = 1});
    // Argon's series has two terms: cp constant, so the second evaluation confirms the first step.
    const Composition ar = composition({{fx::product(12), 1.0}});
    const double cp_ar = product_species().prod_cp_mass(2, 12);
    double t = 400.0, cp = 0.0;
    zalthrm_ph_solve(t, 1e5, ar.data(), cp_ar * (950.0 - 298.15), cp, 0, 0, 1.0e-4);
    EXPECT_NEAR(t, 950.0, 1e-9);
    EXPECT_DOUBLE_EQ(cp, cp_ar);

    // Below 2 K: held at the clamp. Fluid kind 3 leaves the start temperature
    // and the density outputs as they came.
    for (auto [h, kind, want] : {std::tuple{-1.0e9, 0, 2.0}, {0.0, 3, 400.0}}) {
        t = 400.0;
        zalthrm_ph_solve(t, 1e5, ar.data(), h, cp, kind, 0, 1.0e-4);
        EXPECT_EQ(t, want) << kind;
    }
    double rho = -1.0, a = -1.0, b = -1.0, dv = -1.0;
    realgas_state(0, 0, 0, 500.0, 1e5, 0.0, ar.data(), rho, a, b, dv, 3);
    EXPECT_EQ(rho, -1.0);

    // Ideal gases: rho = P / (R_mix T), drho/dT = -rho/T, drho/dP = rho/P.
    const Composition air = composition({{fx::kN2, 0.77}, {fx::kO2, 0.23}});
    realgas_state(0, 0, 0, 500.0, 1e5, 0.0, air.data(), rho, a, b, dv, 0);
    const double r_mix = kR * (0.77 / nasa9("N2").mw + 0.23 / nasa9("O2").mw);
    EXPECT_NEAR(rho, 1e5 / (r_mix * 500.0), 1e-12);
    EXPECT_NEAR(a, -rho / 500.0, 1e-12);
    EXPECT_NEAR(b, rho / 1e5, 1e-15);
    EXPECT_EQ(dv, 0.0);
}

TEST(PhState, MixEnthalpyNormalisesAndSkipsTraces)
{
    test::load_species_fixture();
    const Composition full = composition({{fx::kN2, 0.6}, {fx::kO2, 0.2}, {fx::product(1), 0.2}});
    Composition half = full;
    for (double& y : half) y *= 0.5;
    double h1 = 0.0, cp1 = 0.0, h2 = 0.0, cp2 = 0.0;
    mix_enthalpy(0, 800.0, 1e5, full.data(), h1, cp1);
    mix_enthalpy(0, 800.0, 1e5, half.data(), h2, cp2);
    EXPECT_NEAR(h1, test::nasa_mixture(full, 800.0).h_J_kg, 1e-6);
    EXPECT_DOUBLE_EQ(h2, h1);
    EXPECT_DOUBLE_EQ(cp2, cp1);

    // 5e-9 of methane counts only with the enthalpy switch at 1.
    const Composition traced = composition({{fx::kN2, 1.0}, {fx::kCH4, 5e-9}});
    mix_enthalpy(0, 800.0, 1e5, traced.data(), h1, cp1);
    mix_enthalpy(1, 800.0, 1e5, traced.data(), h2, cp2);
    EXPECT_DOUBLE_EQ(h1, nasa_h_J_kg("N2", 800.0));
    EXPECT_NEAR(h2, (nasa_h_J_kg("N2", 800.0) + 5e-9 * nasa_h_J_kg("CH4", 800.0)) / (1.0 + 5e-9), 1e-6);
}

}  // namespace
}  // namespace usersub::properties
