// Demo host, engine and pipe sub-models: one engine step (wall heat transfer
// and burn rate of cylinder 1) and one pipe step (friction and heat transfer
// of a sub-volume). Models 1 and 2 of the main demo get their parameters here.
#include "demo.h"

#include <array>
#include <cstdio>

void demo_engine_models()
{
    const void* n = nullptr;  // positions these routines do not read
    const int32_t m1 = 1, m2 = 2, cyl = 1, phase = 1, ext = 1;

    // Model 1: the reduced gas-velocity factor applies from -180 to 140 degrees.
    // Model 2: fewer than seven reals, so the Reynolds-Colburn analogy.
    const int32_t two = 2, one = 1;
    const double window[] = {-180.0, 140.0}, unused[] = {0.0};
    ENTRY(LOAD_USER_REALARRAY)(&m1, &two, window);
    ENTRY(LOAD_USER_REALARRAY)(&m2, &one, unused);

    // Engine step at 10 degrees after top dead centre.
    const double bore = 0.086, stroke = 0.086, volume = 5.0e-5, cm = 10.0, p = 6.0e6, t = 2000.0, gamma = 1.35,
                 theta = 10.0;
    double h_woschni = 0.0, h_hohenberg = 0.0;
    ENTRY(ENGHEATTRUSER)(&m1, &cyl, &phase, n, &bore, &stroke, &volume, n, n, &cm, &p, &t, n, n, n, &gamma, &ext, n,
                         n, n, n, n, n, n, n, n, n, n, n, &theta, n, n, n, n, n, n, n, n, &h_woschni, &h_hohenberg);
    std::printf("engine step: wall heat transfer %.1f W/(m2 K) (Woschni), %.1f W/(m2 K) (Hohenberg)\n", h_woschni,
                h_hohenberg);

    const int32_t nsp = 2, none = 0;
    int32_t flag = 0, status = 0;
    const double step = 1.0;
    double dx = 0.0, x = 0.0, x_old = 0.0, end = 9000.0, start = 9000.0, start_out = 0.0;
    const std::array<double, 2> unburned{2.0e-5, 4.0e-4}, residual{0.0, 0.0};
    std::array<double, 2> burned{};
    for (double angle : {-21.0, theta}) {
        ENTRY(ENGCOMBUSER)(&m1, n, n, n, &nsp, &flag, &status, &angle, &step, n, &dx, &x, &x_old, n, unburned.data(),
                           n, burned.data(), n, n, residual.data(), &end, &start, &start_out, n, n, n, n, n, n, n,
                           n, &ext, n, &ext, n, &ext, n, &none, nullptr);
    }
    std::printf("engine step: burn fraction %.4f, burned fuel %.3e kg (start %.0f deg, status %d)\n", x, burned[0],
                start_out, status);

    // Pipe step: air at 10 m/s in a 50 mm pipe.
    const double cp = 1005.0, mu = 1.8e-5, k = 0.026, rho = 1.2, u = 10.0, d = 0.05;
    double cf = 0.0, htc = 0.0;
    ENTRY(CF_USER)(n, n, &m2, n, n, &cp, &mu, &k, &rho, &u, &d, n, n, n, &cf);
    ENTRY(CF_HG_USER)(n, n, &m2, n, n, &cp, &mu, &k, &rho, &u, &d, n, n, n, &cf, &htc);
    std::printf("pipe step: friction coefficient %.5f, heat transfer %.2f W/(m2 K)\n", cf, htc);
}
