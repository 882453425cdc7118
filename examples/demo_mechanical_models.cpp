// Demo of the mechanical and knock user models: a spring-and-damper
// connection, the same connection as a squeezed oil film, and a few knock
// steps of one cylinder whose knock index the host reads from the harness.
#include "demo.h"

#include <cstdint>
#include <cstdio>

void demo_mechanical_models()
{
    // Model 1 as a mechanical connection: spring 2e5 N/m, damper 150 N s/m.
    const int32_t m1 = 1, m2 = 2, one = 1, two = 2, five = 5;
    const int32_t spring[] = {1};
    const double spring_parms[] = {2.0e5, 150.0};
    ENTRY(LOAD_USER_INTARRAY)(&m1, &one, spring);
    ENTRY(LOAD_USER_REALARRAY)(&m1, &two, spring_parms);
    double x[4] = {0.012, 0.0, 0.0, 0.010};  // entries 1 and 4: the two ends, m
    double v[4] = {0.4, 0.0, 0.0, -0.1};     // m/s
    double f[4] = {};
    ENTRY(MEC_USER_UCON)(nullptr, nullptr, x, v, nullptr, nullptr, f, &m1);
    std::printf("spring and damper: force on end 1 %.2f N, on end 2 %.2f N\n", f[0], f[3]);

    // The same model as an annular squeezed film between radii 10 and 20 mm
    // with the library's shared film data (2 bar inside, 1 bar outside).
    const int32_t film[] = {3, 1};
    const double radii[] = {0.010, 0.020};
    ENTRY(LOAD_USER_INTARRAY)(&m1, &two, film);
    ENTRY(LOAD_USER_REALARRAY)(&m1, &two, radii);
    for (double gap_rate : {0.0, -1e-3}) {
        x[0] = 0.0, x[3] = 2e-6;  // gap 2 micrometres
        v[0] = 0.0, v[3] = gap_rate;
        ENTRY(MEC_USER_UCON)(nullptr, nullptr, x, v, nullptr, nullptr, f, &m1);
        std::printf("squeezed film, gap rate %g m/s: %.3f N\n", gap_rate, f[3]);
    }

    // Model 2 as a knock model; cylinder 1 writes its knock index to signal 1
    // of harness 1. The integral of a cylinder is zero at load, so the host
    // continues it here with status 0 (status 1 would first check the fuel of
    // the loaded species set).
    const double knock_parms[] = {1.9, 95.0, 3.4, -1.7, 3800.0};
    ENTRY(LOAD_USER_REALARRAY)(&m2, &five, knock_parms);
    const int32_t cyl = 1, nfuel = 1;
    const double fconc[] = {0.0}, dt = 3e-5, divisor = 1.0, fraction = 0.0;
    int32_t status = 0;
    double index = 0.0;
    for (int k = 0; k < 4 && status == 0; ++k) {
        const double p = 6.0e6 + 1.0e6 * k, t = 950.0 + 50.0 * k;
        ENTRY(KNOCKUSRMOD)(&m2, &cyl, &status, nullptr, &nfuel, &nfuel, &nfuel, &nfuel, nullptr, nullptr,
                           nullptr, nullptr, &p, &t, nullptr, nullptr, &dt, &divisor, &fraction, nullptr, fconc,
                           nullptr, nullptr, &index);
        double harness = 0.0;
        ENTRY(GET_USER_HARN_OUTPUT)(&cyl, &one, &harness);
        std::printf("knock step %d at %.0f bar, %.0f K: status %d, harness output %g\n", k + 1, p * 1e-5, t, status,
                    harness);
    }
}
