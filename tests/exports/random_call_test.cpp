// Random calls of every exported entry point, typed from the entry points' own declarations:
// plausible and hostile integers, reals and texts, counts that fit the host arrays passed. Each
// call, or short sequence of calls, runs in a child process, on a fresh library and after a
// realistic set-up; a third phase drives the five fluid-state entry points with seeded random
// states that reach the state iteration's fatal paths and its oscillation damping. A call fails
// on a signal, a sanitizer report, an exit status other than 0 or 1 (a run stop), or a NaN or
// infinity handed back from finite inputs; a fluid state that stops the run must say why.
//
// Options (environment): USERSUB_RANDOM_CALLS sequences per call phase (default 1200),
// USERSUB_RANDOM_STATES fluid states (default 3000), USERSUB_RANDOM_SEED (default 20261206),
// USERSUB_RANDOM_ONLY=k runs sequence k alone and shows what it wrote. A failing sequence is
// printed as the command that reruns it, with the child's output.
#include "support/child.h"
#include "support/species_fixture.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// Sanitizer reports end the child with a status of their own, apart from the run stop's 1.
extern "C" const char* __asan_default_options() { return "exitcode=86:detect_leaks=0"; }
extern "C" const char* __ubsan_default_options() { return "exitcode=87:print_stacktrace=1"; }

namespace {

constexpr std::size_t kMaxArgs = 64;

// What one argument position is, from its declared type.
enum class Kind { in_int, out_int, in_real, out_real, in_text, out_text, length, unread, in_view, out_words };

template <class T>
constexpr Kind kind_of()
{
    if constexpr (std::is_same_v<T, const std::int32_t*>) return Kind::in_int;
    else if constexpr (std::is_same_v<T, std::int32_t*>) return Kind::out_int;
    else if constexpr (std::is_same_v<T, const double*>) return Kind::in_real;
    else if constexpr (std::is_same_v<T, double*>) return Kind::out_real;
    else if constexpr (std::is_same_v<T, const char*>) return Kind::in_text;
    else if constexpr (std::is_same_v<T, char*>) return Kind::out_text;
    else if constexpr (std::is_same_v<T, std::intptr_t>) return Kind::length;
    else if constexpr (std::is_same_v<T, const void*>) return Kind::unread;
    else if constexpr (std::is_same_v<T, const usersub_array_view*>) return Kind::in_view;
    else if constexpr (std::is_same_v<T, usersub_array_view*> || std::is_same_v<T, std::int32_t**>)
        return Kind::out_words;
    else static_assert(!sizeof(T), "an argument type the random calls do not know");
}

struct Entry {
    const char* name;
    std::vector<Kind> args;
    void (*call)(const std::intptr_t* words);  // calls the entry point with its own types
};

// An argument word as the parameter type: an address, or a hidden length as it is.
template <class T>
T as(std::intptr_t v)
{
    if constexpr (std::is_pointer_v<T>) return reinterpret_cast<T>(v);
    else return v;
}

template <auto F, class R, class... A>
void call_as(R (*)(A...), [[maybe_unused]] const std::intptr_t* w)
{
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        static_cast<void>(F(as<A>(w[I])...));
    }(std::index_sequence_for<A...>{});
}

template <auto F>
void call_words(const std::intptr_t* w) { call_as<F>(F, w); }

template <class R, class... A>
Entry entry(const char* name, R (*)(A...), void (*call)(const std::intptr_t*))
{
    static_assert(sizeof...(A) <= kMaxArgs, "more argument words than the random calls pass");
    return {name, {kind_of<A>()...}, call};
}

const Entry kEntries[] = {
#define USERSUB_ENTRY(NAME, WORDS) entry(#NAME, &NAME, &call_words<&NAME>),
#include "exports/export_table.inc"
#undef USERSUB_ENTRY
};

constexpr std::size_t kSlots = 4096;  // elements of every host array; counts stay far below
constexpr std::size_t kSlotBytes = kSlots * sizeof(double);
constexpr std::size_t kRandomHead = 48;  // drawn at random, then repeated through the array

const char* const kTexts[] = {"",      "N2",      "CH4",     "O2  ",     "prod_co2", "label",
                              "pipe",  "trace.t", "engine-A", "H2O_L",   "Cylinder  1",
                              "                                        ", "\xe9\xff\x01 odd bytes"};
const std::intptr_t kOutLengths[] = {0, 1, 8, 80, 117, 130, 200};

// One call's arguments, drawn from (seed, phase, sequence, step).
struct Draw {
    std::mt19937_64 rng;

    double uniform(double lo = 0.0, double hi = 1.0) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); }
    template <class List>
    auto pick_of(const List& list) { return list[pick(std::size(list))]; }

    std::int32_t integer()
    {
        const double u = uniform();
        if (u < 0.55) return static_cast<std::int32_t>(1 + pick(5));  // identifiers, switches, small counts
        if (u < 0.8) return static_cast<std::int32_t>(pick(41));
        const std::int32_t hostile[] = {0, -1, -3, -1000, std::numeric_limits<std::int32_t>::min()};
        return pick_of(hostile);
    }

    double real()
    {
        const double u = uniform();
        if (u < 0.8) {
            const double m = 1.0 + 9.0 * uniform();
            const double v = m * std::pow(10.0, static_cast<double>(pick(8)) - 3.0);
            return uniform() < 0.15 ? -v : v;
        }
        const double hostile[] = {0.0,    -1.0,    1e-9,   -1e-9,   1e6,    -1e6,   1e300, -1e300,
                                  1e-300, -1e-300, 1e-320, -1e-320, 5e-324, -5e-324, 1.7976931348623157e308,
                                  -1.7976931348623157e308};
        return pick_of(hostile);
    }
};

Draw draw_for(std::uint64_t seed, int phase, std::int64_t sequence, int step)
{
    std::seed_seq s{seed, static_cast<std::uint64_t>(phase), static_cast<std::uint64_t>(sequence),
                    static_cast<std::uint64_t>(step)};
    return Draw{std::mt19937_64(s)};
}

// Fills a host array: kRandomHead values drawn, then repeated through it.
template <class T, class Next>
void fill(unsigned char* buf, Next next)
{
    auto* v = reinterpret_cast<T*>(buf);
    for (std::size_t k = 0; k < kSlots; ++k) v[k] = k < kRandomHead ? next() : v[k % kRandomHead];
}

// Fills the buffers of one call and returns its argument words.
std::array<std::intptr_t, kMaxArgs> prepare(const Entry& e, Draw& d, unsigned char* arena)
{
    std::array<std::intptr_t, kMaxArgs> words{};
    std::intptr_t last_text_len = 0;
    for (std::size_t i = 0; i < e.args.size(); ++i) {
        unsigned char* buf = arena + i * kSlotBytes;
        words[i] = reinterpret_cast<std::intptr_t>(buf);
        switch (e.args[i]) {
        case Kind::in_int:
        case Kind::out_int: fill<std::int32_t>(buf, [&] { return d.integer(); }); break;
        case Kind::in_real:
        case Kind::out_real: fill<double>(buf, [&] { return d.real(); }); break;
        case Kind::in_text: {
            const std::string t = d.pick_of(kTexts);
            std::memset(buf, ' ', kSlotBytes);
            std::memcpy(buf, t.data(), t.size());
            last_text_len = static_cast<std::intptr_t>(t.size());
            break;
        }
        case Kind::out_text:
            std::memset(buf, '?', kSlotBytes);
            last_text_len = d.pick_of(kOutLengths);
            break;
        case Kind::length: words[i] = last_text_len; break;  // the hidden length of the text just before
        case Kind::in_view: {
            // an array of texts of the host: elem_len characters each, contiguous
            const std::intptr_t elem = d.pick_of(std::array<std::intptr_t, 3>{1, 8, 40});
            const auto extent = static_cast<std::intptr_t>(d.pick(21));
            std::memset(buf, '?', kSlotBytes);
            *reinterpret_cast<usersub_array_view*>(buf) = {reinterpret_cast<std::intptr_t>(buf + 256), elem, -1, 2,
                                                           1, 0, extent, elem, 1};
            break;
        }
        case Kind::out_words: std::memset(buf, 0, kSlotBytes); break;
        case Kind::unread: std::memset(buf, 0x5a, 64); break;
        }
    }
    return words;
}

// An option from the environment, or its default.
long long option(const char* name, long long fallback)
{
    const char* s = std::getenv(name);
    return s != nullptr ? std::strtoll(s, nullptr, 10) : fallback;
}

// Stops the child with status 3 when a value handed back is not finite.
void require_finite(const double* v, std::size_t n, const char* what)
{
    const auto* bad = std::find_if_not(v, v + n, [](double x) { return std::isfinite(x); });
    if (bad == v + n) return;
    std::printf("non-finite result %g in element %td of %s\n", *bad, bad - v + 1, what);
    std::fflush(nullptr);
    _exit(3);
}

// Sequence k of a call phase: 1 to 3 entry points, each with its own draw.
void call_sequence(std::uint64_t seed, int phase, std::int64_t k, unsigned char* arena)
{
    Draw order = draw_for(seed, phase, k, -1);
    const double u = order.uniform();
    for (int step = 0; step < (u < 0.6 ? 1 : (u < 0.9 ? 2 : 3)); ++step) {
        const Entry& e = kEntries[order.pick(std::size(kEntries))];
        Draw d = draw_for(seed, phase, k, step);
        const auto words = prepare(e, d, arena);
        e.call(words.data());
        for (std::size_t i = 0; i < e.args.size(); ++i)
            if (e.args[i] == Kind::out_real) require_finite(reinterpret_cast<double*>(words[i]), kSlots, e.name);
    }
}

// Fluid state k: one of the five entry points, T and P or density and energy or P and h
// (with edges of the ranges among them), and methane-air up to phi 8 or any species with
// zeros and traces.
void fluid_state(std::uint64_t seed, std::int64_t k)
{
    namespace fx = usersub::test::fx;
    Draw g = draw_for(seed, 2, k, 0);
    const std::array<double, 10> t_edges = {0.0, -5.0, 1e-19, 1e-18, 1.0, 10000.0, 10000.0001, 2e4, 60.0, 9999.0};
    const std::array<double, 7> p_edges = {0.0, -1.0, 1e-19, 1e-18, 1e12, 1.0001e12, 1.0};
    auto log_uniform = [&](double lo, double hi) { return std::exp(g.uniform(std::log(lo), std::log(hi))); };
    auto temperature = [&] { return g.uniform() < 0.1 ? g.pick_of(t_edges) : log_uniform(150.0, 8000.0); };
    auto pressure = [&] { return g.uniform() < 0.1 ? g.pick_of(p_edges) : log_uniform(1e2, 5e7); };

    const auto entry = g.pick(5);
    std::array<double, fx::kNSpecies> y{};
    double o[5] = {temperature(), pressure(), 0.0, 0.0, 0.0};  // start T and P where the entry reads them
    if (g.uniform() < 0.4) {
        const double phi = g.uniform(0.2, 8.0), fuel = phi * 16.04 / (2 * 32.0 / 0.233);
        y[fx::kCH4 - 1] = fuel / (1 + fuel);
        y[fx::kO2 - 1] = 0.233 / (1 + fuel);
        y[fx::kN2 - 1] = 0.767 / (1 + fuel);
    } else {
        double sum = 0.0;
        for (double& v : y) {
            const double r = g.uniform();
            v = r < 0.5 ? 0.0 : r < 0.7 ? std::pow(10.0, g.uniform(-14, -5)) : g.uniform();
            sum += v;
        }
        if (sum == 0.0) y[fx::kN2 - 1] = sum = 1.0;
        for (double& v : y) v /= sum;
    }
    // T and P; P and h; or density and energy, with a density at or below zero now and then
    double a = entry < 2 ? temperature() : entry == 4 ? pressure() : g.uniform() >= 0.05 ? log_uniform(1e-3, 1e3)
                                                                    : g.pick_of(std::array{0.0, -1e-3, 1e-30});
    double b = entry < 2 ? pressure() : g.uniform(entry == 4 ? -4e6 : -3e6, 8e6);
    decltype(&ZALTHRM_TP) const state[] = {ZALTHRM_TP, ZALTHRM_TP_EQ, ZALTHRM_RE, ZALTHRM_RE_EQ};
    if (entry < 4) state[entry](&a, &b, y.data(), &o[0], &o[1], &o[2], &o[3], &o[4]);
    else ZALTHRM_PH(&a, &b, y.data(), &o[0], &o[1], &o[2], &o[3], &o[4]);
    require_finite(o, 5, "the fluid state");
    require_finite(y.data(), y.size(), "the fluid state's composition");
}

// Runs sequences first..last of a phase, each in a child of this process (which holds the
// phase's set-up), and reports every failing one. A phase with a stop mark requires it in
// the output of every run stop.
void run_phase(const char* phase_name, const char* count_option, long long count,
               const std::function<void(std::uint64_t, std::int64_t)>& body, const char* stop_mark = "")
{
    const auto seed = static_cast<std::uint64_t>(option("USERSUB_RANDOM_SEED", 20261206));
    const std::int64_t only = option("USERSUB_RANDOM_ONLY", -1);
    // The children work in a folder of their own, for the files the library writes.
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("usersub_random_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    int failures = 0;
    std::int64_t returned = 0, stopped = 0;

    const std::int64_t first = only >= 0 ? only : 0;
    const std::int64_t last = only >= 0 ? only + 1 : option(count_option, count);
    for (std::int64_t k = first; k < last && failures < 10; ++k) {
        const auto r = usersub::test::run_in_child([&] {
            if (chdir(dir.c_str()) != 0 || std::freopen("/dev/null", "r", stdin) == nullptr) _exit(90);
            dup2(STDOUT_FILENO, STDERR_FILENO);  // sanitizer reports join the captured output
            alarm(30);
            body(seed, k);
        });
        ++(r.exit_status == 0 ? returned : stopped);
        const bool bad = (r.exit_status != 0 && r.exit_status != 1) ||
                         r.output.find("Sanitizer") != std::string::npos ||
                         r.output.find("runtime error") != std::string::npos ||
                         (r.exit_status == 1 && r.output.find(stop_mark) == std::string::npos);
        if (!bad && only < 0) continue;
        const std::string msg = std::string(bad ? "random call failed" : "random call passed") +
                                ", exit status " + std::to_string(r.exit_status) + "; rerun: USERSUB_RANDOM_SEED=" +
                                std::to_string(seed) + " USERSUB_RANDOM_ONLY=" + std::to_string(k) +
                                " --gtest_filter=*" + phase_name + "*\n  output: " +
                                r.output.substr(r.output.size() > 3000 ? r.output.size() - 3000 : 0);
        if (bad) ++failures, ADD_FAILURE() << msg;
        else std::printf("%s\n", msg.c_str());
    }
    std::filesystem::remove_all(dir);
    std::printf("%lld random sequences (%s), seed %llu: %lld returned, %lld ended by a run stop\n",
                static_cast<long long>(last - first), phase_name, static_cast<unsigned long long>(seed),
                static_cast<long long>(returned), static_cast<long long>(stopped));
}

void run_calls(int phase, const char* phase_name)
{
    std::vector<unsigned char> arena(kMaxArgs * kSlotBytes);  // touched by the children only
    run_phase(phase_name, "USERSUB_RANDOM_CALLS", 1200,
              [&](std::uint64_t seed, std::int64_t k) { call_sequence(seed, phase, k, arena.data()); });
}

// A host's set-up: the species set, five user models with parameter records and plots on,
// run state, two cylinders, injectors and valves, message queues and a harness.
void realistic_setup()
{
    using namespace usersub::test;
    // cylinders, injectors and valves first: the species set sizes their compositions
    const std::int32_t one = 1, two = 2;
    load_cylinders(2, 0.09, 0.001, 0.15);
    ALLOCATEINJECTORINFO(&two);
    ALLOCATEVALVEINFO(&two);
    load_species_fixture();
    const std::int32_t models = 5;
    setup_models(models, 10);
    ALLOCATE_USER_STRING(&models);
    // Parameter profiles: unit values, a second law, annular and circular squeezed films,
    // built-in (999) branches.
    // The films take their pressures and viscosity from the shared defaults, so that every
    // profile stays a plausible parameter set for each of the models.
    const std::vector<std::vector<std::int32_t>> ints = {{1, 1, 1, 1}, {2, 0, 2, 2}, {3, 1, 1, 1}, {3, 1, 1, 1},
                                                         {999, 1, 1, 1}};
    const std::vector<std::vector<double>> reals = {
        {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0},
        {0.5, 2.0, 1.5, 0.8, 1.2, 0.9, 1.1, 1.3, 0.7, 0.6, 1.4, 1.6},
        {0.01, 0.02, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0},
        {0.0, 0.02, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0},
        {1.0, -0.5, 1.0, 0.9, 1.1, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0}};
    for (std::int32_t m = 1; m <= models; ++m) {
        load_model(m, ints[static_cast<std::size_t>(m - 1)], reals[static_cast<std::size_t>(m - 1)]);
        set_texts(m, {"pipe"}, 80);
    }
    send_state({.state_int4 = 1, .time_step = 2, .sim_time_s = 0.01, .crank_angle_deg = 30.0});

    const std::vector<double> comp(fx::kNSpecies, 1.0 / fx::kNSpecies);
    const double r[8] = {1e-3, 2e-3, 3e-3, 0.5, 300.0, 1e5, 0.01, 0.0};
    for (std::int32_t i = 1; i <= 2; ++i) {
        LOADINJECTORINFO(&i, "injector", 8, &one, &one, r, r + 1, r + 2, r + 3, r + 4, r + 5, r + 6, comp.data(),
                         r + 7);
        LOADVALVEINFO(&i, "valve", 5, &one, r, r + 1, r + 2, r + 3, comp.data(), r + 4, r + 5, comp.data());
    }
    const std::int32_t nsig = 4;
    ALLOC_USER_HARN(&nsig, &two);
    INIT_USER_HARN(&one, "harness-1", 9);
    INIT_USER_HARN(&two, "harness-2", 9);
    std::fflush(stdout);
}

TEST(RandomCalls, FreshLibrary) { run_calls(0, "FreshLibrary"); }

TEST(RandomCalls, AfterSetUp)
{
    realistic_setup();
    run_calls(1, "AfterSetUp");
}

TEST(RandomCalls, FluidStates)
{
    usersub::test::load_species_fixture();
    run_phase("FluidStates", "USERSUB_RANDOM_STATES", 3000, fluid_state, "F*** ");
}

}  // namespace
