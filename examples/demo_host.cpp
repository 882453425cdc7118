// A small host: loads the library the way a host solver does, resolves entry
// points by name and runs a short scripted run, printing what comes back.
#include "demo.h"

#include <cstdio>
#include <string>

void* g_lib = nullptr;

std::string trimmed(const char* text, std::size_t len)
{
    std::string s(text, len);
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : USERSUB_LIBRARY_PATH;
    g_lib = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (g_lib == nullptr) {
        std::printf("cannot load %s: %s\n", path, dlerror());
        return 1;
    }

    int32_t major = 0, minor = 0;
    double version = 0.0;
    ENTRY(ZALUSR_VERS)(&major, &minor, &version);
    std::printf("library version %d.%d, solver interface %.1f\n", major, minor, version);

    // Set-up: two user models with parameters and one plot each.
    const int32_t two = 2, one = 1, m1 = 1, m2 = 2;
    ENTRY(ALLOCATE_USER_STRUCTURE)(&two);
    ENTRY(ALLOCATE_USER_PLOT)(&two);
    const int32_t ints[] = {3, 1};
    const double reals[] = {0.08, 2.5e5};
    ENTRY(LOAD_USER_INTARRAY)(&m1, &two, ints);
    ENTRY(LOAD_USER_REALARRAY)(&m1, &two, reals);
    ENTRY(LOAD_USER_CHARARRAY)(&m1, &one, "Cylinder 1 burn rate", 20);
    ENTRY(LOAD_USER_REALARRAY)(&m2, &one, reals + 1);
    ENTRY(ALLOCATE_USER_RLTARRAY)(&m2, &two);
    const int32_t on = 1;
    int32_t ierr = 0;
    for (int32_t m : {m1, m2}) ENTRY(LOAD_USER_PLOT)(&m, &one, &on, &ierr);

    // One step: push the run state, let "the routine" fetch and plot.
    const int32_t z = 0, step = 1, logical_false = 0;
    const double time = 0.001, angle = -10.0, third = 0.0;
    ENTRY(SEND_USER_STATE)(&z, &z, &z, &on, &step, &z, &time, &angle, &third, &logical_false);

    int32_t nint = 0, nreal = 0, nchar = 0, nrlt = 0;
    usersub_array_view vi, vr, vc, vt;
    ENTRY(LOAD_USER_MODEL_ARRAYS)(&m1, &nint, &nreal, &nchar, &nrlt, &vi, &vr, &vc, &vt);
    const auto* rp = reinterpret_cast<const double*>(vr.base);
    std::printf("model 1: %d integers, %d reals (%g, %g), %d texts (\"%s\"), %d results\n", nint, nreal,
                rp[0], rp[1], nchar, trimmed(reinterpret_cast<const char*>(vc.base), 132).c_str(), nrlt);

    for (int k = 0; k < 3; ++k) {
        const double x = angle + k, y = 0.1 * k;
        ENTRY(USERPLOTSTORE)(&m1, &one, "Burn rate", 9, "Cylinder 1", 10, "Crank Angle", 11, "1/deg", 5,
                             &x, &y);
    }

    // After the step: drain plot points and labels.
    int32_t npts = 0;
    double xs[201], ys[201];
    ENTRY(GETUSERPLTDATA)(&m1, &one, &npts, xs, ys);
    char title[80], curve[80], xl[80], yl[80];
    ENTRY(GETUSERPLTLABEL)(&m1, &one, title, 80, curve, 80, xl, 80, yl, 80);
    std::printf("plot \"%s\" / \"%s\" (%s vs %s): %d points\n", trimmed(title, 80).c_str(),
                trimmed(curve, 80).c_str(), trimmed(yl, 80).c_str(), trimmed(xl, 80).c_str(), npts);
    for (int k = 0; k < npts; ++k) std::printf("  %8.3f %8.3f\n", xs[k], ys[k]);

    // Set-up and steps of the other families, each in a demo_*.cpp of its own.
    // -- messages, harness, user flow devices
    void demo_exchange_io(); demo_exchange_io();
    // -- engine components and the species set
    void demo_engine_components(); demo_engine_components();
    // -- property library: equilibrium states, a hydraulic valve, a catalyst
    void demo_property_models(); demo_property_models();
    // -- engine, pipe and turbocharger models
    void demo_engine_models(); demo_engine_models();
    // -- mechanical, vehicle, electrical, knock models
    void demo_mechanical_models(); demo_mechanical_models();

    ENTRY(CLEAR_USERMOD_MEMORY)();
    dlclose(g_lib);
    return 0;
}
