#include "properties/transport/transport.h"

#include "properties/species/species_table.h"

#include <array>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace usersub::properties {
namespace {

constexpr double kNone = -999.0;
constexpr double kMatch = 1e-6;  // atom-count tolerance of the molecule tests

struct DiffusionStorage {
    Storage<double, 2> binarydif{"BINARYDIF"};
    Storage<double, 1> volume_root{"DIFF_VOLUME_ROOT"};
    Storage<std::int32_t, 1> spare{"DIFF_SPARE"};
    DiffusionArrays views;
};
DiffusionStorage g_diff;

// Atom counts C, H, O, N, S, Ar of one species.
using Atoms = std::array<double, 6>;
enum : std::size_t { C, H, O, N, S, Ar };

// True when the listed atoms match (their deviations summing below 1e-6) and
// every other atom count sums below 1e-6.
bool is_molecule(const Atoms& a, std::initializer_list<std::pair<std::size_t, double>> listed) noexcept
{
    double deviation = 0.0;
    double others = 0.0;
    for (std::size_t e = 0; e < a.size(); ++e) {
        bool is_listed = false;
        for (const auto& [element, count] : listed) {
            if (element != e) continue;
            deviation += std::fabs(a[e] - count);
            is_listed = true;
        }
        if (!is_listed) others += a[e];
    }
    return deviation < kMatch && others < kMatch;
}

// Diffusion volume of Fuller, Schettler and Giddings: the molecule's own value
// for the listed small molecules, else the sum of the atomic volumes.
double diffusion_volume(const Atoms& a) noexcept
{
    if (is_molecule(a, {{H, 2.0}})) return 7.07;
    if (is_molecule(a, {{N, 2.0}})) return 17.9;
    if (is_molecule(a, {{O, 2.0}})) return 16.6;
    if (is_molecule(a, {{C, 1.0}, {O, 1.0}})) return 18.9;
    if (is_molecule(a, {{C, 1.0}, {O, 2.0}})) return 26.9;
    if (is_molecule(a, {{N, 2.0}, {O, 1.0}})) return 35.9;
    if (is_molecule(a, {{H, 3.0}, {N, 1.0}})) return 14.9;
    if (is_molecule(a, {{H, 2.0}, {O, 1.0}})) return 12.7;
    return 16.5 * a[C] + 1.98 * a[H] + 5.48 * a[O] + 5.69 * a[N] + 17.0 * a[S] + 16.1 * a[Ar];
}

}  // namespace

const DiffusionArrays& diffusion_arrays() noexcept { return g_diff.views; }

double binarydif(std::int32_t i, std::int32_t j) noexcept { return g_diff.views.binarydif(i, j); }

bool diffusion_ready() noexcept { return (g_diff.views.diffusion_ready & 1) != 0; }

void diffusion_volumes_setup() noexcept
{
    if (diffusion_ready()) return;
    g_diff.views.diffusion_ready = -1;  // every bit

    const SpeciesTable& tab = species_table();
    const std::int64_t n = tab.nspecies;
    g_diff.binarydif.assign({n, n}, kNone);
    g_diff.volume_root.assign({n}, kNone);
    g_diff.spare.assign({n}, -999);
    g_diff.views.binarydif = g_diff.binarydif.view();
    g_diff.views.diff_volume_root = view1(std::as_const(g_diff.volume_root));
    g_diff.views.diff_spare = view1(std::as_const(g_diff.spare));

    for (std::int64_t i = 1; i <= n; ++i) {
        Atoms a{};
        for (std::size_t e = 0; e < a.size(); ++e) a[e] = tab.species_formula(static_cast<std::int64_t>(e) + 1, i);
        const double v = diffusion_volume(a);
        // An unloaded formula (fill -999.0) gives a negative volume, which has no
        // root: such a species gets no factors. A species without atoms has V = 0.
        if (v >= 0.0) g_diff.volume_root(i) = std::pow(v, 0.333333);
    }
    for (std::int64_t i = 1; i <= n; ++i) {
        for (std::int64_t j = i + 1; j <= n; ++j) {
            const double ri = g_diff.volume_root(i);
            const double rj = g_diff.volume_root(j);
            const double root_sum = ri + rj;
            if (ri == kNone || rj == kNone || !(root_sum > 0.0)) continue;  // two species without atoms: no factor
            const double f = 0.01013 * std::sqrt(tab.pmwt_inv(i) + tab.pmwt_inv(j)) / (root_sum * root_sum);
            g_diff.binarydif(i, j) = f;
            g_diff.binarydif(j, i) = f;
        }
    }
}

}  // namespace usersub::properties
