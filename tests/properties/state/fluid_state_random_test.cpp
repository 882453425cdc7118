// Seeded random inputs to the five fluid-state entry points, a batch per
// child process: each input ends with finite outputs, or with a fatal report
// and exit status 1 (the next batch starts after it); never with a signal or
// a NaN or infinity handed back without a message. 3000 inputs by default;
// USERSUB_RANDOM_STATES=<n> runs more. A failing input is printed in full.
#include "support/child.h"
#include "support/species_fixture.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace usersub::test {
namespace {

using Y = std::array<double, fx::kNSpecies>;
const char* const kEntries[5] = {"ZALTHRM_TP", "ZALTHRM_TP_EQ", "ZALTHRM_RE", "ZALTHRM_RE_EQ", "ZALTHRM_PH"};

struct Input {
    int entry;
    double a, b;    // T, P; rho, e; or P, h
    double t0, p0;  // start values
    Y y;
};

// Input k of the sequence, from its own generator.
Input make_input(std::uint64_t k)
{
    std::mt19937_64 g(20261206u + k);
    auto u = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(g); };
    auto pick = [&](auto const& list) { return list[g() % list.size()]; };
    const std::array<double, 10> t_edges = {0.0, -5.0, 1e-19, 1e-18, 1.0, 10000.0, 10000.0001, 2e4, 60.0, 9999.0};
    const std::array<double, 7> p_edges = {0.0, -1.0, 1e-19, 1e-18, 1e12, 1.0001e12, 1.0};
    auto temperature = [&] { return u(0, 1) < 0.1 ? pick(t_edges) : std::exp(u(std::log(150.0), std::log(8000.0))); };
    auto pressure = [&] { return u(0, 1) < 0.1 ? pick(p_edges) : std::exp(u(std::log(1e2), std::log(5e7))); };

    Input in{static_cast<int>(g() % 5), 0, 0, temperature(), pressure(), {}};
    if (u(0, 1) < 0.4) {  // methane-air up to phi 8
        const double phi = u(0.2, 8.0), fuel = phi * 16.04 / (2 * 32.0 / 0.233);
        in.y[fx::kCH4 - 1] = fuel / (1 + fuel);
        in.y[fx::kO2 - 1] = 0.233 / (1 + fuel);
        in.y[fx::kN2 - 1] = 0.767 / (1 + fuel);
    } else {  // any species, with zeros and traces
        double sum = 0.0;
        for (double& v : in.y) {
            const double r = u(0, 1);
            v = r < 0.5 ? 0.0 : r < 0.7 ? std::pow(10.0, u(-14, -5)) : u(0, 1);
            sum += v;
        }
        if (sum == 0.0) in.y[fx::kN2 - 1] = sum = 1.0;
        for (double& v : in.y) v /= sum;
    }
    if (in.entry == 0 || in.entry == 1) {
        in.a = temperature();
        in.b = pressure();
    } else if (in.entry == 4) {
        in.a = pressure();
        in.b = u(-4e6, 8e6);
    } else {
        in.a = u(0, 1) < 0.05 ? pick(std::array<double, 3>{0.0, -1e-3, 1e-30}) : std::exp(u(std::log(1e-3), std::log(1e3)));
        in.b = u(-3e6, 8e6);
    }
    return in;
}

std::string describe(std::uint64_t k, const Input& in)
{
    char buf[256];
    std::snprintf(buf, sizeof buf, "input %llu: %s(%.17g, %.17g) start T %.17g P %.17g\n  y =",
                  static_cast<unsigned long long>(k), kEntries[in.entry], in.a, in.b, in.t0, in.p0);
    std::string s = buf;
    for (double v : in.y) {
        std::snprintf(buf, sizeof buf, " %.17g", v);
        s += buf;
    }
    return s;
}

// Runs one input; false when an output is not finite.
bool run(const Input& c)
{
    Input in = c;
    double o[5] = {in.t0, in.p0, 0.0, 0.0, 0.0};  // start T and P where the entry reads them
    switch (in.entry) {
    case 0: ZALTHRM_TP(&in.a, &in.b, in.y.data(), &o[0], &o[1], &o[2], &o[3], &o[4]); break;
    case 1: ZALTHRM_TP_EQ(&in.a, &in.b, in.y.data(), &o[0], &o[1], &o[2], &o[3], &o[4]); break;
    case 2: ZALTHRM_RE(&in.a, &in.b, in.y.data(), &o[0], &o[1], &o[2], &o[3], &o[4]); break;
    case 3: ZALTHRM_RE_EQ(&in.a, &in.b, in.y.data(), &o[0], &o[1], &o[2], &o[3], &o[4]); break;
    default: ZALTHRM_PH(&in.a, &in.b, in.y.data(), &o[0], &o[1], &o[2], &o[3], &o[4]);
    }
    for (double v : o)
        if (!std::isfinite(v)) return false;
    for (double v : in.y)
        if (!std::isfinite(v)) return false;
    return true;
}

TEST(FluidStateRandom, EveryInputEndsFiniteOrWithAFatalReport)
{
    const char* env = std::getenv("USERSUB_RANDOM_STATES");
    const std::uint64_t n = env != nullptr ? std::strtoull(env, nullptr, 10) : 3000;
    std::uint64_t first = 0;
    while (first < n) {
        const ChildResult r = run_in_child([&] {
            load_species_fixture();
            for (std::uint64_t k = first; k < n; ++k) {
                std::printf("@@ %llu\n", static_cast<unsigned long long>(k));
                std::fflush(stdout);
                if (!run(make_input(k))) {
                    std::printf("!! not finite\n");
                    std::fflush(stdout);
                    std::_Exit(3);
                }
            }
        });
        const std::size_t mark = r.output.rfind("@@ ");
        ASSERT_NE(mark, std::string::npos) << r.output;
        const std::uint64_t k = std::strtoull(r.output.c_str() + mark + 3, nullptr, 10);
        const std::string tail = r.output.substr(r.output.find('\n', mark) + 1);
        if (r.exit_status == 0) break;
        ASSERT_EQ(r.exit_status, 1) << describe(k, make_input(k)) << "\n" << r.output.substr(mark);
        ASSERT_NE(tail.find("F*** "), std::string::npos) << describe(k, make_input(k)) << "\n" << tail;
        first = k + 1;
    }
}

}  // namespace
}  // namespace usersub::test
