// Random calls of every exported entry point, typed from the prototypes of include/usersub.h:
// plausible and hostile integers, reals and texts, counts that fit the host arrays passed. Each
// call, or short sequence of calls, runs in a child process, on a fresh library and after a
// realistic set-up. A call fails on a signal, a sanitizer report, an exit status other than 0
// or 1 (a run stop), or a NaN or infinity handed back from finite inputs.
//
// Options (environment): USERSUB_RANDOM_CALLS sequences per phase (default 1200),
// USERSUB_RANDOM_SEED (default 20261206), USERSUB_RANDOM_ONLY=k runs sequence k alone and
// shows what it wrote. A failing sequence is printed as C calls with the command that reruns it.
#include "support/species_fixture.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <regex>
#include <sstream>
#include <string>
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
    std::string t = std::regex_replace(decl, std::regex(R"(\s*\b[A-Za-z_][A-Za-z0-9_]*$)"), "");  // drop the name
    t = std::regex_replace(t, std::regex(R"(\s+)"), " ");
    t = std::regex_replace(t, std::regex(R"( \*)"), "*");
    if (t == "const int32_t*") return Kind::in_int;
    if (t == "int32_t*") return Kind::out_int;
    if (t == "const double*") return Kind::in_real;
    if (t == "double*") return Kind::out_real;
    if (t == "const char*") return Kind::in_text;
    if (t == "char*") return Kind::out_text;
    if (t == "intptr_t") return Kind::length;
    if (t == "const void*") return Kind::unread;
    if (t == "const usersub_array_view*") return Kind::in_view;
    if (t == "usersub_array_view*" || t == "int32_t**") return Kind::out_words;
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
        const double hostile[] = {0.0, -1.0, 1e-9, -1e-9, 1e6, -1e6};
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
        std::ostringstream shown;
        switch (p.args[i]) {
        case Kind::in_int:
        case Kind::out_int: {
            auto* v = reinterpret_cast<std::int32_t*>(buf);
            for (std::size_t k = 0; k < kSlots; ++k) v[k] = k < kRandomHead ? d.integer() : v[k % kRandomHead];
            shown << (p.args[i] == Kind::in_int ? "int{" : "inout int{") << v[0] << ", " << v[1] << ", " << v[2]
                  << ", ...}";
            break;
        }
        case Kind::in_real:
        case Kind::out_real: {
            auto* v = reinterpret_cast<double*>(buf);
            for (std::size_t k = 0; k < kSlots; ++k) v[k] = k < kRandomHead ? d.real() : v[k % kRandomHead];
            char b[128];
            std::snprintf(b, sizeof b, "%sdouble{%.17g, %.17g, %.17g, ...}", p.args[i] == Kind::in_real ? "" : "inout ",
                          v[0], v[1], v[2]);
            shown << b;
            break;
        }
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
            continue;
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
        c.words[i] = reinterpret_cast<std::intptr_t>(buf);
        c.shown.push_back(shown.str());
        if (p.args[i] == Kind::length) continue;
    }
    return c;
}

using Call64 = std::intptr_t (*)(std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t);

// Every entry point takes at most 64 words, each an address or a hidden length: all of them
// travel in integer registers and stack slots, so one call shape with spare words serves all.
void invoke(AnyFn fn, const std::array<std::intptr_t, kMaxArgs>& a)
{
    reinterpret_cast<Call64>(fn)(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11], a[12],
                                 a[13], a[14], a[15], a[16], a[17], a[18], a[19], a[20], a[21], a[22], a[23], a[24],
                                 a[25], a[26], a[27], a[28], a[29], a[30], a[31], a[32], a[33], a[34], a[35], a[36],
                                 a[37], a[38], a[39], a[40], a[41], a[42], a[43], a[44], a[45], a[46], a[47], a[48],
                                 a[49], a[50], a[51], a[52], a[53], a[54], a[55], a[56], a[57], a[58], a[59], a[60],
                                 a[61], a[62], a[63]);
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct Options {
    std::uint64_t seed = 20261206;
    std::int64_t calls = 1200;
    std::int64_t only = -1;
};

Options options()
{
    Options o;
    if (const char* s = std::getenv("USERSUB_RANDOM_SEED")) o.seed = std::strtoull(s, nullptr, 10);
    if (const char* s = std::getenv("USERSUB_RANDOM_CALLS")) o.calls = std::strtoll(s, nullptr, 10);
    if (const char* s = std::getenv("USERSUB_RANDOM_ONLY")) o.only = std::strtoll(s, nullptr, 10);
    return o;
}

// Runs the sequences of one phase, each in a child of this process (which holds the phase's
// set-up), and reports every failing one.
void run_phase(int phase, const char* phase_name)
{
    const std::vector<Prototype> protos = read_prototypes();
    ASSERT_FALSE(protos.empty());
    const Options opt = options();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("usersub_random_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string out_path = (dir / "stdout").string(), err_path = (dir / "stderr").string();
    std::vector<unsigned char> arena(kMaxArgs * kSlotBytes);  // touched by the children only
    int failures = 0;
    std::int64_t returned = 0, stopped = 0;

    const std::int64_t first = opt.only >= 0 ? opt.only : 0;
    const std::int64_t last = opt.only >= 0 ? opt.only + 1 : opt.calls;
    for (std::int64_t k = first; k < last && failures < 10; ++k) {
        const auto seq = sequence_entries(opt.seed, phase, k, protos.size());
        std::fflush(stdout);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (chdir(dir.c_str()) != 0) _exit(90);
            const int fo = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int fe = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int fi = open("/dev/null", O_RDONLY);
            if (fo < 0 || fe < 0 || fi < 0) _exit(91);
            dup2(fi, 0), dup2(fo, 1), dup2(fe, 2);
            alarm(30);
            for (std::size_t step = 0; step < seq.size(); ++step) {
                const Prototype& p = protos[seq[step]];
                Draw d = draw_for(opt.seed, phase, k, static_cast<int>(step));
                const Call c = prepare(p, d, arena.data());
                invoke(p.entry->fn, c.words);
                for (std::size_t i = 0; i < p.args.size(); ++i) {
                    if (p.args[i] != Kind::out_real) continue;
                    const auto* v = reinterpret_cast<const double*>(c.words[i]);
                    for (std::size_t j = 0; j < kSlots; ++j) {
                        if (!std::isfinite(v[j])) {
                            std::fprintf(stderr, "non-finite result %g in argument %zu, element %zu, of %s\n", v[j],
                                         i + 1, j + 1, p.entry->name);
                            std::fflush(nullptr);
                            _exit(3);
                        }
                    }
                }
            }
            std::fflush(nullptr);
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        const std::string err = read_file(err_path);
        const bool signalled = WIFSIGNALED(status);
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        ++(code == 0 ? returned : stopped);
        const bool bad = signalled || (code != 0 && code != 1) || err.find("Sanitizer") != std::string::npos ||
                         err.find("runtime error") != std::string::npos;
        if (!bad && opt.only < 0) continue;

        std::ostringstream msg;
        msg << (bad ? "random call failed" : "random call passed") << " (" << phase_name << "): ";
        if (signalled) msg << "signal " << WTERMSIG(status);
        else msg << "exit status " << code;
        msg << "\n  rerun: USERSUB_RANDOM_SEED=" << opt.seed << " USERSUB_RANDOM_ONLY=" << k
            << " --gtest_filter=*" << phase_name << "*\n";
        for (std::size_t step = 0; step < seq.size(); ++step) {
            const Prototype& p = protos[seq[step]];
            Draw d = draw_for(opt.seed, phase, k, static_cast<int>(step));
            const Call c = prepare(p, d, arena.data());
            msg << "  " << p.entry->name << "(";
            for (std::size_t i = 0; i < c.shown.size(); ++i) msg << (i ? ", " : "") << c.shown[i];
            msg << ");\n";
        }
        const std::string out = read_file(out_path);
        msg << "  stdout: " << out.substr(out.size() > 1500 ? out.size() - 1500 : 0)
            << "\n  stderr: " << err.substr(0, 3000);
        if (bad) {
            ++failures;
            ADD_FAILURE() << msg.str();
        } else {
            std::printf("%s\n", msg.str().c_str());
        }
    }
    std::filesystem::remove_all(dir);
    std::printf("%lld sequences of random calls (%s), seed %llu: %lld returned, %lld ended by a run stop\n",
                static_cast<long long>(last - first), phase_name, static_cast<unsigned long long>(opt.seed),
                static_cast<long long>(returned), static_cast<long long>(stopped));
}

// A host's set-up: the species set, five user models with parameter records and plots on,
// run state, two cylinders, injectors and valves, message queues and a harness.
void realistic_setup()
{
    // cylinders, injectors and valves first: the species set sizes their compositions
    const std::int32_t z = 0, one = 1, two = 2, step = 2, l = 0;
    ALLOCATE_CYLINDERINFO(&two);
    ALLOCATEINJECTORINFO(&two);
    ALLOCATEVALVEINFO(&two);
    usersub::test::load_species_fixture();
    const std::int32_t models = 5, nplot = 10;
    ALLOCATE_USER_STRUCTURE(&models);
    ALLOCATE_USER_PLOT(&models);
    ALLOCATE_USER_STRING(&models);
    const std::vector<std::int32_t> on(nplot, 1);
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
    std::string texts = "pipe";
    texts.resize(80, ' ');
    for (std::int32_t m = 1; m <= models; ++m) {
        std::int32_t ierr = 0;
        LOAD_USER_PLOT(&m, &nplot, on.data(), &ierr);
        const auto& iv = ints[static_cast<std::size_t>(m - 1)];
        const auto& rv = reals[static_cast<std::size_t>(m - 1)];
        const auto ni = static_cast<std::int32_t>(iv.size()), nr = static_cast<std::int32_t>(rv.size()), nc = 1;
        LOAD_USER_INTARRAY(&m, &ni, iv.data());
        LOAD_USER_REALARRAY(&m, &nr, rv.data());
        LOAD_USER_CHARARRAY(&m, &nc, texts.data(), 80);
    }
    const double t = 0.01, crank = 30.0, r3 = 0.0;
    SEND_USER_STATE(&z, &z, &z, &one, &step, &z, &t, &crank, &r3, &l);

    const double cyl[13] = {0.0, 0.09, 0.001, 0.0, 0.15, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    for (std::int32_t c = 1; c <= 2; ++c)
        LOADCYLINDERINFO(&c, &z, cyl, cyl + 1, cyl + 2, cyl + 3, cyl + 4, cyl + 5, cyl + 6, cyl + 7, cyl + 8,
                         cyl + 9, cyl + 10, cyl + 11, cyl + 12);
    const std::vector<double> comp(usersub::test::fx::kNSpecies, 1.0 / usersub::test::fx::kNSpecies);
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
