// Random calls of every exported entry point, typed from the prototypes of include/usersub.h:
// plausible and hostile integers, reals and texts, counts that fit the host arrays passed. Each
// call, or short sequence of calls, runs in a child process, on a fresh library and after a
// realistic set-up. A call fails on a signal, a sanitizer report, an exit status other than 0
// or 1 (a run stop), or a NaN or infinity handed back from finite inputs.
//
// Options (environment): USERSUB_RANDOM_CALLS sequences per phase (default 1200),
// USERSUB_RANDOM_SEED (default 20261206), USERSUB_RANDOM_ONLY=k runs sequence k alone and
// shows what it wrote. A failing sequence is printed as C calls with the command that reruns it.
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
#include <fstream>
#include <iomanip>
#include <limits>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// Sanitizer reports end the child with a status of their own, apart from the run stop's 1.
extern "C" const char* __asan_default_options() { return "exitcode=86:detect_leaks=0"; }
extern "C" const char* __ubsan_default_options() { return "exitcode=87:print_stacktrace=1"; }

namespace {

using AnyFn = void (*)();

struct Entry {
    const char* name;
    AnyFn fn;
    int words;
};

const Entry kEntries[] = {
#define USERSUB_ENTRY(NAME, WORDS) {#NAME, reinterpret_cast<AnyFn>(&NAME), WORDS},
#include "exports/export_table.inc"
#undef USERSUB_ENTRY
};

constexpr std::size_t kMaxArgs = 64;

// What one argument position is, from its declared type.
enum class Kind { in_int, out_int, in_real, out_real, in_text, out_text, length, unread, in_view, out_words };

struct Prototype {
    const Entry* entry = nullptr;
    std::vector<Kind> args;
};

Kind kind_of(const std::string& decl)
{
    static const std::pair<const char*, Kind> kinds[] = {
        {"const int32_t*", Kind::in_int},   {"int32_t*", Kind::out_int},
        {"const double*", Kind::in_real},   {"double*", Kind::out_real},
        {"const char*", Kind::in_text},     {"char*", Kind::out_text},
        {"intptr_t", Kind::length},         {"const void*", Kind::unread},
        {"const usersub_array_view*", Kind::in_view}, {"usersub_array_view*", Kind::out_words},
        {"int32_t**", Kind::out_words},
    };
    std::string t = std::regex_replace(decl, std::regex(R"(\s*\b[A-Za-z_][A-Za-z0-9_]*$)"), "");  // drop the name
    t = std::regex_replace(t, std::regex(R"(\s+)"), " ");
    t = std::regex_replace(t, std::regex(R"( \*)"), "*");
    for (const auto& [type, kind] : kinds)
        if (t == type) return kind;
    ADD_FAILURE() << "argument type the random calls do not know: '" << t << "' in '" << decl << "'";
    return Kind::unread;
}

// Every prototype of the header, matched to its row of the export table.
std::vector<Prototype> read_prototypes()
{
    std::ifstream in(USERSUB_HEADER_PATH);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = std::regex_replace(ss.str(), std::regex(R"(/\*[\s\S]*?\*/)"), "");
    const std::regex proto(R"(USERSUB_API\s+(?:void|int32_t)\s+([A-Z_][A-Z0-9_]*)\s*\(([^)]*)\)\s*;)");
    std::vector<Prototype> out;
    for (std::sregex_iterator it(text.begin(), text.end(), proto), end; it != end; ++it) {
        Prototype p;
        for (const Entry& e : kEntries)
            if ((*it)[1] == e.name) p.entry = &e;
        if (p.entry == nullptr) continue;
        std::stringstream params((*it)[2].str());
        for (std::string decl; std::getline(params, decl, ',');) {
            decl = std::regex_replace(decl, std::regex(R"(^\s+|\s+$)"), "");
            if (decl != "void" && !decl.empty()) p.args.push_back(kind_of(decl));
        }
        EXPECT_EQ(static_cast<int>(p.args.size()), p.entry->words) << p.entry->name;
        if (p.args.size() > kMaxArgs) {
            ADD_FAILURE() << p.entry->name << " takes more argument words than the random calls pass";
            continue;
        }
        out.push_back(p);
    }
    EXPECT_EQ(out.size(), std::size(kEntries)) << "entry points of the table without a prototype in the header";
    return out;
}

constexpr std::size_t kSlots = 4096;  // elements of every host array; counts stay far below
constexpr std::size_t kSlotBytes = kSlots * sizeof(double);
constexpr std::size_t kRandomHead = 48;  // drawn at random, then repeated through the array

const char* const kTexts[] = {"",      "N2",      "CH4",     "O2  ",     "prod_co2", "label",
                              "pipe",  "trace.t", "engine-A", "H2O_L",   "Cylinder  1",
                              "                                        ", "\xe9\xff\x01 odd bytes"};
const std::intptr_t kOutLengths[] = {0, 1, 8, 80, 117, 130, 200};

// One call's arguments, drawn from (seed, sequence, step). Values live in the buffers of
// the child that makes the call; the parent redraws them only to print a failing call.
struct Draw {
    std::mt19937_64 rng;

    double uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); }
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); }

    std::int32_t integer()
    {
        const double u = uniform();
        if (u < 0.55) return static_cast<std::int32_t>(1 + pick(5));  // identifiers, switches, small counts
        if (u < 0.8) return static_cast<std::int32_t>(pick(41));
        const std::int32_t hostile[] = {0, -1, -3, -1000, std::numeric_limits<std::int32_t>::min()};
        return hostile[pick(std::size(hostile))];
    }

    double real()
    {
        const double u = uniform();
        if (u < 0.8) {
            const double m = 1.0 + 9.0 * uniform();
            const double v = m * std::pow(10.0, static_cast<double>(pick(8)) - 3.0);
            return uniform() < 0.15 ? -v : v;
        }
        const double hostile[] = {0.0,     -1.0,     1e-9,   -1e-9,   1e6,    -1e6,    1e300,   -1e300,
                                  1e-300,  -1e-300,  1e-320, -1e-320, 5e-324, -5e-324, 1.7976931348623157e308,
                                  -1.7976931348623157e308};
        return hostile[pick(std::size(hostile))];
    }
};

Draw draw_for(std::uint64_t seed, int phase, std::int64_t sequence, int step)
{
    std::seed_seq s{seed, static_cast<std::uint64_t>(phase), static_cast<std::uint64_t>(sequence),
                    static_cast<std::uint64_t>(step)};
    return Draw{std::mt19937_64(s)};
}

// A sequence: 1 to 3 entry points, drawn from (seed, phase, sequence).
std::vector<std::size_t> sequence_entries(std::uint64_t seed, int phase, std::int64_t k, std::size_t n)
{
    Draw d = draw_for(seed, phase, k, -1);
    const double u = d.uniform();
    const int len = u < 0.6 ? 1 : (u < 0.9 ? 2 : 3);
    std::vector<std::size_t> v;
    for (int i = 0; i < len; ++i) v.push_back(d.pick(n));
    return v;
}

// Fills a host array: kRandomHead values drawn, then repeated through it; shows its head.
template <class T, class Next>
void fill(unsigned char* buf, const char* type, bool inout, Next next, std::ostream& shown)
{
    auto* v = reinterpret_cast<T*>(buf);
    for (std::size_t k = 0; k < kSlots; ++k) v[k] = k < kRandomHead ? next() : v[k % kRandomHead];
    shown << (inout ? "inout " : "") << type << '{' << v[0] << ", " << v[1] << ", " << v[2] << ", ...}";
}

// Fills the buffers of one call and the argument words; text values are kept for printing.
struct Call {
    std::array<std::intptr_t, kMaxArgs> words{};
    std::vector<std::string> shown;
};

Call prepare(const Prototype& p, Draw& d, unsigned char* arena)
{
    Call c;
    std::intptr_t last_text_len = 0;
    for (std::size_t i = 0; i < p.args.size(); ++i) {
        unsigned char* buf = arena + i * kSlotBytes;
        c.words[i] = reinterpret_cast<std::intptr_t>(buf);
        std::ostringstream shown;
        shown << std::setprecision(17);
        switch (p.args[i]) {
        case Kind::in_int:
        case Kind::out_int:
            fill<std::int32_t>(buf, "int", p.args[i] == Kind::out_int, [&] { return d.integer(); }, shown);
            break;
        case Kind::in_real:
        case Kind::out_real:
            fill<double>(buf, "double", p.args[i] == Kind::out_real, [&] { return d.real(); }, shown);
            break;
        case Kind::in_text: {
            const std::string t = kTexts[d.pick(std::size(kTexts))];
            std::memset(buf, ' ', kSlotBytes);
            std::memcpy(buf, t.data(), t.size());
            last_text_len = static_cast<std::intptr_t>(t.size());
            shown << '"' << t << '"';
            break;
        }
        case Kind::out_text:
            std::memset(buf, '?', kSlotBytes);
            last_text_len = kOutLengths[d.pick(std::size(kOutLengths))];
            shown << "char[" << last_text_len << "]";
            break;
        case Kind::length:  // the hidden length of the text just before
            c.words[i] = last_text_len;
            shown << last_text_len;
            break;
        case Kind::in_view: {
            // an array of texts of the host: elem_len characters each, contiguous
            auto* view = reinterpret_cast<usersub_array_view*>(buf);
            const std::intptr_t lens[] = {1, 8, 40};
            const std::intptr_t elem = lens[d.pick(3)];
            const std::intptr_t extent = static_cast<std::intptr_t>(d.pick(21));
            std::memset(buf, '?', kSlotBytes);
            *view = {reinterpret_cast<std::intptr_t>(buf + 256), elem, -1, 2, 1, 0, extent, elem, 1};
            shown << "view{elem_len " << elem << ", extent " << extent << "}";
            break;
        }
        case Kind::out_words:
            std::memset(buf, 0, kSlotBytes);
            shown << "out";
            break;
        case Kind::unread:
            std::memset(buf, 0x5a, 64);
            shown << "_";
            break;
        }
        c.shown.push_back(shown.str());
    }
    return c;
}

// Every entry point takes at most 64 words, each an address or a hidden length: all of them
// travel in integer registers and stack slots, so one call shape with spare words serves all.
template <std::size_t>
using Word = std::intptr_t;

template <std::size_t... I>
void invoke(AnyFn fn, const std::array<std::intptr_t, kMaxArgs>& a, std::index_sequence<I...>)
{
    reinterpret_cast<std::intptr_t (*)(Word<I>...)>(fn)(a[I]...);
}

// An option from the environment, or its default.
long long option(const char* name, long long fallback)
{
    const char* s = std::getenv(name);
    return s != nullptr ? std::strtoll(s, nullptr, 10) : fallback;
}

// Makes the calls of one sequence and stops with status 3 on a non-finite result.
void call_sequence(const std::vector<Prototype>& protos, const std::vector<std::size_t>& seq, std::uint64_t seed,
                   int phase, std::int64_t k, unsigned char* arena)
{
    for (std::size_t step = 0; step < seq.size(); ++step) {
        const Prototype& p = protos[seq[step]];
        Draw d = draw_for(seed, phase, k, static_cast<int>(step));
        const Call c = prepare(p, d, arena);
        invoke(p.entry->fn, c.words, std::make_index_sequence<kMaxArgs>{});
        for (std::size_t i = 0; i < p.args.size(); ++i) {
            if (p.args[i] != Kind::out_real) continue;
            const auto* v = reinterpret_cast<const double*>(c.words[i]);
            const auto* bad = std::find_if_not(v, v + kSlots, [](double x) { return std::isfinite(x); });
            if (bad == v + kSlots) continue;
            std::fprintf(stderr, "non-finite result %g in argument %zu, element %td, of %s\n", *bad, i + 1,
                         bad - v + 1, p.entry->name);
            std::fflush(nullptr);
            _exit(3);
        }
    }
}

// Runs the sequences of one phase, each in a child of this process (which holds the phase's
// set-up), and reports every failing one.
void run_phase(int phase, const char* phase_name)
{
    const std::vector<Prototype> protos = read_prototypes();
    ASSERT_FALSE(protos.empty());
    const auto seed = static_cast<std::uint64_t>(option("USERSUB_RANDOM_SEED", 20261206));
    const std::int64_t only = option("USERSUB_RANDOM_ONLY", -1);
    // The children work in a folder of their own, for the files the library writes.
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("usersub_random_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::vector<unsigned char> arena(kMaxArgs * kSlotBytes);  // touched by the children only
    int failures = 0;
    std::int64_t returned = 0, stopped = 0;

    const std::int64_t first = only >= 0 ? only : 0;
    const std::int64_t last = only >= 0 ? only + 1 : option("USERSUB_RANDOM_CALLS", 1200);
    for (std::int64_t k = first; k < last && failures < 10; ++k) {
        const auto seq = sequence_entries(seed, phase, k, protos.size());
        const auto r = usersub::test::run_in_child([&] {
            if (chdir(dir.c_str()) != 0 || std::freopen("/dev/null", "r", stdin) == nullptr) _exit(90);
            dup2(STDOUT_FILENO, STDERR_FILENO);  // sanitizer reports join the captured output
            alarm(30);
            call_sequence(protos, seq, seed, phase, k, arena.data());
        });
        ++(r.exit_status == 0 ? returned : stopped);
        const bool bad = (r.exit_status != 0 && r.exit_status != 1) ||
                         r.output.find("Sanitizer") != std::string::npos ||
                         r.output.find("runtime error") != std::string::npos;
        if (!bad && only < 0) continue;

        std::ostringstream msg;
        msg << (bad ? "random call failed" : "random call passed") << " (" << phase_name
            << "): exit status " << r.exit_status << (r.exit_status > 128 ? " (128 + signal)" : "")
            << "\n  rerun: USERSUB_RANDOM_SEED=" << seed
            << " USERSUB_RANDOM_ONLY=" << k << " --gtest_filter=*" << phase_name << "*\n";
        for (std::size_t step = 0; step < seq.size(); ++step) {
            const Prototype& p = protos[seq[step]];
            Draw d = draw_for(seed, phase, k, static_cast<int>(step));
            const Call c = prepare(p, d, arena.data());
            msg << "  " << p.entry->name << "(";
            for (std::size_t i = 0; i < c.shown.size(); ++i) msg << (i ? ", " : "") << c.shown[i];
            msg << ");\n";
        }
        msg << "  output: " << r.output.substr(r.output.size() > 3000 ? r.output.size() - 3000 : 0);
        if (bad) {
            ++failures;
            ADD_FAILURE() << msg.str();
        } else {
            std::printf("%s\n", msg.str().c_str());
        }
    }
    std::filesystem::remove_all(dir);
    std::printf("%lld sequences of random calls (%s), seed %llu: %lld returned, %lld ended by a run stop\n",
                static_cast<long long>(last - first), phase_name, static_cast<unsigned long long>(seed),
                static_cast<long long>(returned), static_cast<long long>(stopped));
}

// A host's set-up: the species set, five user models with parameter records and plots on,
// run state, two cylinders, injectors and valves, message queues and a harness.
void realistic_setup()
{
    using namespace usersub::test;
    // cylinders, injectors and valves first: the species set sizes their compositions
    const std::int32_t z = 0, one = 1, two = 2;
    ALLOCATE_CYLINDERINFO(&two);
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

    const double cyl[13] = {0.0, 0.09, 0.001, 0.0, 0.15, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    for (std::int32_t c = 1; c <= 2; ++c)
        LOADCYLINDERINFO(&c, &z, cyl, cyl + 1, cyl + 2, cyl + 3, cyl + 4, cyl + 5, cyl + 6, cyl + 7, cyl + 8,
                         cyl + 9, cyl + 10, cyl + 11, cyl + 12);
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

TEST(RandomCalls, FreshLibrary) { run_phase(0, "FreshLibrary"); }

TEST(RandomCalls, AfterSetUp)
{
    realistic_setup();
    run_phase(1, "AfterSetUp");
}

}  // namespace
