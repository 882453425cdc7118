// Demo host, property library and the user models built on it: the
// equilibrium state of methane-air at an engine state and the way back
// to it from density and energy and from pressure and enthalpy; one step of
// the flat hydraulic valve in water; one step of a catalyst volume. Runs on
// the species set loaded by demo_engine_components.
#include "demo.h"
#include "support/species_fixture.h"

#include <cstdio>
#include <vector>

void demo_property_models()
{
    namespace fx = usersub::test::fx;
    const void* n = nullptr;  // positions these routines do not read
    const int32_t nsp = fx::kNSpecies, m1 = 1, m2 = 2, one = 1, z = 0;

    // Stoichiometric methane-air, CH4 + 2 (O2 + 3.76 N2), as mass fractions.
    const double kmol[] = {1.0, 2.0, 7.52}, mw[] = {16.04246, 31.9988, 28.0134};
    const int species[] = {fx::kCH4, fx::kO2, fx::kN2};
    const double kg = kmol[0] * mw[0] + kmol[1] * mw[1] + kmol[2] * mw[2];  // per kmol of fuel
    std::vector<double> y(nsp, 0.0), x(nsp, 0.0);
    for (int k = 0; k < 3; ++k) y[species[k] - 1] = kmol[k] * mw[k] / kg;
    const double t_K = 2400.0, p_Pa = 50e5;
    double rho = 0, e = 0, h = 0, cp = 0, cv = 0;
    ENTRY(ZALTHRM_TP_EQ)(&t_K, &p_Pa, y.data(), &rho, &e, &h, &cp, &cv);
    ENTRY(GETMOLFRAC)(y.data(), x.data());
    std::printf("ZALTHRM_TP_EQ methane-air at %.0f K, %.0f bar: rho %.3f kg/m3, h %.1f kJ/kg, cp %.1f J/(kg K)\n"
                "  mole fractions:", t_K, p_Pa * 1e-5, rho, h * 1e-3, cp);
    const char* names[] = {"CO2", "H2O", "N2", "O2", "CO", "H2", "H", "O", "OH", "NO"};
    for (int k = 0; k < 10; ++k) std::printf(" %s %.4f", names[k], x[fx::product(k + 1) - 1]);
    double t_back = 2000.0, p_back = 40e5, t_ph = 2000.0;  // start values of the two solves
    std::printf("\nZALTHRM_RE_EQ from rho and e = %.1f kJ/kg: ", e * 1e-3);
    ENTRY(ZALTHRM_RE_EQ)(&rho, &e, y.data(), &t_back, &p_back, &h, &cp, &cv);
    std::printf("%.1f K, %.2f bar\n", t_back, p_back * 1e-5);
    ENTRY(ZALTHRM_PH)(&p_Pa, &h, y.data(), &t_ph, &rho, &e, &cp, &cv);
    std::printf("ZALTHRM_PH    from P and h, that composition frozen: %.1f K\n", t_ph);

    // Flat valve, seat 8 mm, port 4 to 12 mm, lifted 0.1 mm; water at 300 K from 20 to 19 bar.
    std::vector<double> water(nsp, 0.0);  // viscosity from the set's table
    water[fx::kH2OLiquid - 1] = 1.0;
    const double h0 = 0.0, cd0 = 0.7, fn_crit = 5000.0, lift = 1e-4, v = 0.0, x_ref = 0.0, p1 = 20e5, p2 = 19e5,
                 t1 = 300.0, mdot = 0.01, p_vap = 3500.0, d_seat = 8e-3, d_out = 12e-3, d_in = 4e-3;
    double area = 0, dh = 0, fn = 0, cd = 0, force = 0, vol1 = 0, vol2 = 0;
    ENTRY(USER_FVLV)(&m1, n, &one, &one, &h0, &cd0, &fn_crit, &lift, &v, n, &nsp, &one, n, &x_ref, &p1, &p2, &t1,
                     &t1, water.data(), water.data(), &mdot, &one, &area, &dh, &fn, &cd, &force, &p_vap, &vol1,
                     &vol2, n, &d_seat, &d_out, &d_in);
    std::printf("valve step (USER_FVLV): flow area %.4f mm2, flow number %.0f, discharge coefficient %.4f\n",
                area * 1e6, fn, cd);

    // Catalyst volume: 1 % methane in air at 700 K and 2 bar, its temperature
    // rise limited to 200 K (treatment 3); the outlet temperature from the
    // converted gas at the volume's density and energy.
    const int32_t treatment = 3, plot_a = 1, plot_b = 2, o2 = fx::kO2;  // plot keys differ: no plot points
    const double dt = 1e-3, factor = 1.0, mass = 1e-3, t_in = 700.0, p_in = 2e5, rise_K = 200.0, unused = 0.0;
    double out33 = 0.0;
    ENTRY(LOAD_USER_INTARRAY)(&m2, &one, &treatment);
    ENTRY(LOAD_USER_REALARRAY)(&m2, &one, &rise_K);
    std::vector<double> fm(nsp, 0.0), flux(nsp, 0.0);
    fm[fx::kCH4 - 1] = 0.01, fm[fx::kO2 - 1] = 0.233 * 0.99, fm[fx::kN2 - 1] = 0.767 * 0.99;
    ENTRY(ZALTHRM_TP)(&t_in, &p_in, fm.data(), &rho, &e, &h, &cp, &cv);
    ENTRY(CATMODUSR)(&m2, &z, &plot_a, &plot_b, &z, &nsp, &z, n, &z, n, &one, &o2, n, n, &dt, &factor, n, n, n, n, n,
                     &mass, flux.data(), flux.data(), fm.data(), &t_in, &p_in, &unused, &rho, &e, n, n, &out33);
    double t_out = t_in, p_out = p_in;
    ENTRY(ZALTHRM_RE)(&rho, &e, fm.data(), &t_out, &p_out, &h, &cp, &cv);
    std::printf("catalyst step (CATMODUSR): methane conversion %.3f, outlet %.1f K\n",
                1.0 - fm[fx::kCH4 - 1] / 0.01, t_out);
}
