#include "properties/species/species_lookup.h"

#include "common/fixed_text.h"
#include "common/output.h"
#include "common/run_stop.h"
#include "properties/species/species_table.h"

#include <cmath>

namespace usersub::properties {

std::int32_t species_index(std::string_view name) noexcept
{
    const SpeciesTable& t = species_table();
    const std::string_view wanted = text::trim_right(name);
    for (std::int32_t i = 1; i <= t.nspecies; ++i)
        if (text::trim_right(t.namfl(i)) == wanted) return i;
    return 0;
}

std::string_view species_name(std::int32_t index) noexcept
{
    const SpeciesTable& t = species_table();
    if (index < 1 || index > t.nspecies) return "Index_out_of_bound";
    return t.namfl(index);
}

void getmolfrac(const double* y_mass, double* x_mole) noexcept
{
    const SpeciesTable& t = species_table();
    const std::int32_t n = t.nspecies;
    if (n < 1) return;
    const auto w_inv = t.pmwt_inv.span(1, n);
    for (std::int32_t i = 0; i < n; ++i) x_mole[i] = 0.0;
    double sum = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
        if (y_mass[i] > 1e-18 && w_inv[i] > 1e-18) {
            x_mole[i] = y_mass[i] * w_inv[i];  // kmol/kg
            sum += x_mole[i];
        }
    }
    if (std::abs(sum - 1.0) <= 1e-18) return;
    if (sum == 0.0) return;  // nothing in the composition: no mole fractions to form, all stay 0
    const double inv = 1.0 / sum;
    for (std::int32_t i = 0; i < n; ++i) x_mole[i] *= inv;
}

void getmassfrac(const double* x_mole, double* y_mass) noexcept
{
    const SpeciesTable& t = species_table();
    const std::int32_t n = t.nspecies;
    if (n < 1) return;
    const auto w = t.pmwt.span(1, n);
    const auto counts = [&](std::int32_t i) { return x_mole[i] > 1e-18 && w[i] > 1e-18; };
    // Amounts near the top of the real range would overflow their sum: they
    // are formed scaled down (x and y may be one array, so x is read first).
    double probe = 0.0;
    for (std::int32_t i = 0; i < n; ++i)
        if (counts(i)) probe += x_mole[i] * w[i];
    const double scale = std::isfinite(probe) ? 1.0 : 0x1p-64;
    double sum = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
        if (counts(i)) {
            y_mass[i] = x_mole[i] * scale * w[i];  // kg/kmol of mixture
            sum += y_mass[i];
        } else {
            y_mass[i] = 0.0;
        }
    }
    if (sum == 0.0) return;  // nothing in the composition: every mass fraction is already 0
    for (std::int32_t i = 0; i < n; ++i) y_mass[i] /= sum;
}

std::int32_t get_props_scalar3() noexcept { return species_table().props_scalar_3; }

void mole_to_mass_by_formula(const double* gate, double* b) noexcept
{
    const SpeciesTable& t = species_table();
    const std::int32_t n = t.nspecies;
    if (n < 1) return;
    const auto& f = t.species_formula;
    f(6, n);  // every species has its formula column
    double sum = 0.0;
    for (std::int32_t i = 1; i <= n; ++i) {
        if (gate[i - 1] <= 1e-18) {
            b[i - 1] = 0.0;
            continue;
        }
        const double m = 12.01 * f(1, i) + 1.009 * f(2, i) + 16.0 * f(3, i) + t.atomic_mass_n * f(4, i) +
                         32.065 * f(5, i) + 39.948 * f(6, i);  // kg/kmol
        b[i - 1] *= m;
        sum += b[i - 1];
    }
    for (std::int32_t i = 0; i < n; ++i) b[i] /= sum;
}

double table_lookup_unit(double x, std::int32_t n, const double* xt, const double* yt) noexcept
{
    const Array1<const double> xs("XT", xt, n);
    const Array1<const double> ys("YT", yt, n);
    if (x <= xs(1)) return 0.0;
    if (x >= xs(n)) return 1.0;
    for (std::int32_t j = 2; j <= n; ++j)
        if (xs(j - 1) <= x && x <= xs(j))
            return ys(j - 1) + (ys(j) - ys(j - 1)) * (x - xs(j - 1)) / (xs(j) - xs(j - 1));
    out::list("Something bad has happened");
    stop_run();
}

}  // namespace usersub::properties
