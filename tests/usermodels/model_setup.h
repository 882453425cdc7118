// Set-up shared by the user-model tests: parameter records, plot buffers and
// the run state, filled through the exported interface as a host fills them.
#pragma once

#include "support/child.h"
#include "usersub.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace usersub::test {

inline const void* const n_ = nullptr;  // an argument position the routine does not read

// Sizes the record table and the plot table for n models, each with nplot plots switched on, and opens the plot gates.
inline void setup_models(int32_t n, int32_t nplot = 0)
{
    ALLOCATE_USER_STRUCTURE(&n);
    ALLOCATE_USER_PLOT(&n);
    const std::vector<int32_t> on(static_cast<std::size_t>(nplot > 0 ? nplot : 1), 1);
    for (int32_t m = 1; m <= n; ++m) {
        int32_t ierr = 0;
        LOAD_USER_PLOT(&m, &nplot, on.data(), &ierr);
    }
}

inline void set_reals(int32_t model, const std::vector<double>& v)
{
    const auto n = static_cast<int32_t>(v.size());
    LOAD_USER_REALARRAY(&model, &n, v.data());
}

inline void set_ints(int32_t model, const std::vector<int32_t>& v)
{
    const auto n = static_cast<int32_t>(v.size());
    LOAD_USER_INTARRAY(&model, &n, v.data());
}

inline void load_model(int32_t model, const std::vector<int32_t>& ints, const std::vector<double>& reals)
{
    set_ints(model, ints);
    set_reals(model, reals);
}

inline void set_texts(int32_t model, const std::vector<std::string>& v, intptr_t len)
{
    std::string all;
    for (const auto& s : v) all += s + std::string(static_cast<std::size_t>(len) - s.size(), ' ');
    const auto n = static_cast<int32_t>(v.size());
    LOAD_USER_CHARARRAY(&model, &n, all.data(), len);
}

// The ten values of one SEND_USER_STATE call, in its argument order.
struct RunState {
    int32_t state_int1 = 0, state_int2 = 0, state_int3 = 0;
    int32_t state_int4 = 1, time_step = 2, state_int6 = 0;  // plots are stored while state_int4 is 1
    double sim_time_s = 0.0, crank_angle_deg = 0.0, state_real3 = 0.0;
    int32_t l10 = 0;
};

inline void send_state(const RunState& s)
{
    SEND_USER_STATE(&s.state_int1, &s.state_int2, &s.state_int3, &s.state_int4, &s.time_step, &s.state_int6,
                    &s.sim_time_s, &s.crank_angle_deg, &s.state_real3, &s.l10);
}

// Run state with plot storage on, time step 1 and simulation time t_s.
inline void set_time(double t_s) { send_state({.time_step = 1, .sim_time_s = t_s}); }

// Loads cylinder c: its thirteen reals (stroke second, pin offset third, rod length fifth) and its integer.
inline void load_cylinder(int32_t c, const std::array<double, 13>& r, int32_t ival = 0)
{
    LOADCYLINDERINFO(&c, &ival, &r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6], &r[7], &r[8], &r[9], &r[10], &r[11],
                     &r[12]);
}

// Sizes the cylinder table and gives every cylinder this stroke, pin offset and rod length.
inline void load_cylinders(int32_t n, double stroke_m, double pin_offset_m = 0.0, double rod_m = 0.0)
{
    ALLOCATE_CYLINDERINFO(&n);
    for (int32_t c = 1; c <= n; ++c) load_cylinder(c, {0.0, stroke_m, pin_offset_m, 0.0, rod_m});
}

inline std::string padded(const std::string& s, std::size_t len = 80) { return s + std::string(len - s.size(), ' '); }

struct Plot {
    std::vector<double> x, y;
    std::string title, curve, xlabel, ylabel;  // 80 characters each
    std::string labels() const { return title + curve + xlabel + ylabel; }
    std::vector<double> points() const  // x, then y
    {
        std::vector<double> v = x;
        v.insert(v.end(), y.begin(), y.end());
        return v;
    }
};

// The four labels of a plot as the host reads them, each blank-padded to 80.
inline std::string labels(const std::string& t, const std::string& c, const std::string& x, const std::string& y)
{
    return padded(t) + padded(c) + padded(x) + padded(y);
}

// Drains plot iplot of a model: its points and its labels.
inline Plot drain_plot(int32_t model, int32_t iplot)
{
    Plot p;
    int32_t n = 0;
    std::vector<double> x(201), y(201);
    GETUSERPLTDATA(&model, &iplot, &n, x.data(), y.data());
    p.x.assign(x.begin(), x.begin() + n);
    p.y.assign(y.begin(), y.begin() + n);
    for (auto* s : {&p.title, &p.curve, &p.xlabel, &p.ylabel}) s->assign(80, '?');
    GETUSERPLTLABEL(&model, &iplot, p.title.data(), 80, p.curve.data(), 80, p.xlabel.data(), 80, p.ylabel.data(), 80);
    return p;
}

// The real output a call writes through the address it is given (-1 if it writes none).
template <class Call>
double output_of(Call call)
{
    double out = -1.0;
    call(&out);
    return out;
}

// Each value within rel * |want| + abs of the wanted one.
inline void expect_near(const std::vector<double>& got, const std::vector<double>& want, double rel, double abs = 0.0)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t k = 0; k < got.size(); ++k)
        EXPECT_NEAR(got[k], want[k], rel * std::abs(want[k]) + abs) << "entry " << k;
}

// The diagnostic of an index above the upper bound of the named array.
inline std::string bounds_error(const std::string& array, int value, int upper)
{
    return " Array bounds error: subscript 1 of array " + array + " has value " + std::to_string(value) +
           ", above its upper bound " + std::to_string(upper) + "\n";
}

// A routine call that must end the run with status 1 and exactly this output.
struct FatalCase { std::function<void()> body; std::string output; };

// Runs each case in a child process whose models were set up with setup_models(n).
inline void expect_fatal(const std::vector<FatalCase>& cases, int32_t models = 1)
{
    for (const FatalCase& c : cases) {
        expect_child_stop([&] {
            setup_models(models);
            c.body();
        }, c.output);
    }
}

}  // namespace usersub::test
