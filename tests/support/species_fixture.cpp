#include "support/species_fixture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace usersub::test {
namespace {

const Nasa9Species kNasa9[] = {
#include "support/nasa9_data.inc"
};

constexpr double kTref = 298.15;       // K
constexpr int C = fx::kNSpecies;       // capacity: 5 ordinary + 13 products
constexpr int kTableRows = 20;

const char* const kNames[C] = {"N2",      "O2",      "CH4",     "C7H16_L", "H2O_L",    "prod_co2",
                               "prod_h2o", "prod_n2", "prod_o2", "prod_co", "prod_h2",  "prod_h",
                               "prod_o",   "prod_oh", "prod_no", "prod_n",  "prod_ar",  "prod_so2"};
// Atoms of C, H, O, N, S, Ar.
const double kProductAtoms[13][6] = {
    {1, 0, 2, 0, 0, 0}, {0, 2, 1, 0, 0, 0}, {0, 0, 0, 2, 0, 0}, {0, 0, 2, 0, 0, 0},
    {1, 0, 1, 0, 0, 0}, {0, 2, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0},
    {0, 1, 1, 0, 0, 0}, {0, 0, 1, 1, 0, 0}, {0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 1},
    {0, 0, 2, 0, 1, 0}};
// Enthalpy power series of the products in (T - Tref), J/kg, c_0..c_7.
const double kProductSeries[13][8] = {
    {-8943100, 851.972, 0.4479183, -0.0002167482, 5.810735e-08, -6.39489e-12, 0, 0},
    {-13433330, 1864.904, 0.186282, 0.0001795641, -8.803844e-08, 1.225805e-11, 0, 0},
    {0, 1036.447, 0.05841124, 5.425229e-05, -3.140294e-08, 4.79288e-12, 0, 0},
    {0, 918.734, 0.1749594, -6.828881e-05, 1.68271e-08, -1.678412e-12, 0, 0},
    {-3945000, 1038.067, 0.08307473, 3.593222e-05, -2.58858e-08, 4.178628e-12, 0, 0},
    {0, 14258.04, 0.2359437, 0.000477612, -1.419671e-07, 1.364091e-11, 0, 0},
    {216275200, 20620, 0, 0, 0, 0, 0, 0},
    {15573370, 1365.518, -0.09192479, 6.414476e-05, -2.141029e-08, 2.73903e-12, 0, 0},
    {2292326, 1756.822, -0.1009922, 0.0001850806, -6.797219e-08, 8.536132e-12, 0, 0},
    {3001686, 988.761, 0.1074581, -1.154737e-06, -1.021582e-08, 1.943911e-12, 0, 0},
    {33732960, 1489.611, 0, 0, 0, 0, 0, 0},
    {0, 520.32, 0, 0, 0, 0, 0, 0},
    {-4632834, 658.885, 0.1812999, -6.157292e-05, 1.003749e-08, -6.093644e-13, 0, 0}};
// Methane's series in the same form (least-squares fit of its NASA enthalpy over 300..3000 K).
const double kCH4Series[8] = {-4650042, 2081.047, 2.259092, -4.844846e-04, 2.950228e-08, 4.488193e-12, 0, 0};
const std::int32_t kProductTerms[13] = {6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 2, 6};
const double kProductTcrit[13] = {304.1, 647.3, 126.2, 154.6, 132.9, 33.3, 1e9, 1e9, 1e9, 180.0, 1e9, 150.7, 430.75};
const double kProductPcrit[13] = {7.39e6, 2.209e7, 3.39e6, 5.05e6, 3.5e6, 1.3e6, 1e9,
                                  1e9,    1e9,     6.49e6, 1e9,   4.86e6, 7.87e6};

const double* range_of(const Nasa9Species& s, double T)
{
    for (int r = 0; r < s.nranges; ++r)
        if (T <= s.ranges[r][1]) return s.ranges[r];
    return s.ranges[s.nranges - 1];
}

}  // namespace

const Nasa9Species& nasa9(std::string_view name)
{
    for (const auto& s : kNasa9)
        if (name == s.name) return s;
    std::printf("no NASA data for %.*s\n", static_cast<int>(name.size()), name.data());
    std::abort();
}

double nasa9_cp_R(const Nasa9Species& s, double T)
{
    const double* a = range_of(s, T) + 2;
    return a[0] / (T * T) + a[1] / T + a[2] + a[3] * T + a[4] * T * T + a[5] * T * T * T + a[6] * T * T * T * T;
}

double nasa9_h_RT(const Nasa9Species& s, double T)
{
    const double* a = range_of(s, T) + 2;
    return -a[0] / (T * T) + a[1] * std::log(T) / T + a[2] + a[3] * T / 2 + a[4] * T * T / 3 +
           a[5] * T * T * T / 4 + a[6] * T * T * T * T / 5 + a[7] / T;
}

double nasa9_s_R(const Nasa9Species& s, double T)
{
    const double* a = range_of(s, T) + 2;
    return -a[0] / (2 * T * T) - a[1] / T + a[2] * std::log(T) + a[3] * T + a[4] * T * T / 2 +
           a[5] * T * T * T / 3 + a[6] * T * T * T * T / 4 + a[8];
}

Composition fuel_air(int fuel, double mw_fuel, double o2_per_fuel, double phi)
{
    const double mw_o2 = nasa9("O2").mw;
    const double mw_n2 = nasa9("N2").mw;
    const double o2 = o2_per_fuel / phi;
    const double mass = mw_fuel + o2 * (mw_o2 + 3.76 * mw_n2);
    Composition y{};
    y[static_cast<std::size_t>(fuel - 1)] = mw_fuel / mass;
    y[fx::kO2 - 1] = o2 * mw_o2 / mass;
    y[fx::kN2 - 1] = 3.76 * o2 * mw_n2 / mass;
    return y;
}

std::vector<DataRow> data_rows(const char* path)
{
    std::vector<DataRow> rows;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        auto& r = rows.emplace_back().words;
        for (std::string w; words >> w;) r.push_back(w);
    }
    return rows;
}

void load_species_set(const PropertyEntryPoints& e, const SpeciesFixtureOptions& opt)
{
    const std::int32_t counts[10] = {C, fx::kFirstProduct, fx::kOrdinary, 0, 13,
                                     opt.realgas_switch, opt.products_switch, kTableRows, 0, 0};
    e.loadprop0(&counts[0], &counts[1], &counts[2], &counts[3], &counts[4], &counts[5], &counts[6],
              &counts[7], &counts[8], &counts[9]);

    // ---- per-species data of all 18 species ----
    std::vector<std::int32_t> iproptyp(C, 1), ifuel(C, 0), nterms(C, 6), liq_form(C, 0), unread(C, 0),
        realgas_flag(C, 0), liq_flag(C, 1);
    std::vector<double> formula(6 * C, 0.0), mw(C), mw_inv(C), coef(3 * 9 * C, 0.0), liq_a(8 * C, 0.0),
        liq_b(8 * C, 0.0), liq_c(8 * C, 0.0), rho(C, 0.0), tcrit(C, 1e9), pcrit(C, 1e9), tmin(C, 200.0),
        tbreak(C, 1000.0), tmax(C, 6000.0), pmin(C, 1.0), pmax(C, 1e9), par_a(C, 0.0), par_b(C, 0.0);
    auto set_formula = [&](int i, std::array<double, 6> atoms) {
        for (int e = 0; e < 6; ++e) formula[e + 6 * (i - 1)] = atoms[static_cast<std::size_t>(e)];
    };
    auto set_coef = [&](int i, int set, int j, double v) { coef[(set - 1) + 3 * (j - 1) + 27 * (i - 1)] = v; };
    // A gas from its NASA data (sets 1..3 are the ranges, the last repeated) or its series.
    auto set_gas = [&](int i, const Nasa9Species& s, const double* series) {
        mw[i - 1] = s.mw;
        if (opt.products_switch == 0) {
            for (int set = 1; set <= 3; ++set) {
                const double* r = s.ranges[std::min(set, s.nranges) - 1];
                for (int j = 1; j <= 9; ++j) set_coef(i, set, j, r[j + 1]);
            }
        } else {
            for (int j = 1; j <= 6; ++j) set_coef(i, 1, j, series[j - 1]);
        }
    };

    set_gas(fx::kN2, nasa9("N2"), kProductSeries[2]);
    set_formula(fx::kN2, {0, 0, 0, 2, 0, 0});
    tcrit[0] = 126.2, pcrit[0] = 3.39e6, realgas_flag[0] = 1;
    set_gas(fx::kO2, nasa9("O2"), kProductSeries[3]);
    set_formula(fx::kO2, {0, 0, 2, 0, 0, 0});
    tcrit[1] = 154.6, pcrit[1] = 5.043e6, realgas_flag[1] = 1;
    set_gas(fx::kCH4, nasa9("CH4"), kCH4Series);
    set_formula(fx::kCH4, {1, 4, 0, 0, 0, 0});
    tcrit[2] = 190.56, pcrit[2] = 4.599e6, realgas_flag[2] = 1, ifuel[2] = 2;

    {  // liquid n-heptane, density form 1: rho = r1 + r2 t + r3 t^2 + r4 t pp + r5 pp + r6 pp^2 + r7 pp^3
        const int i = fx::kC7H16Liquid;
        iproptyp[i - 1] = 3, liq_form[i - 1] = 1, liq_flag[i - 1] = 0, nterms[i - 1] = 4;
        ifuel[i - 1] = opt.heptane_is_fuel ? 2 : 0;
        mw[i - 1] = 100.20194;
        set_formula(i, {7, 16, 0, 0, 0, 0});
        // 679.5 kg/m3 at 298.15 K and 1 bar, falling 0.85 kg/m3 per K (and 9e-4
        // per K^2), rising 0.098 kg/m3 per bar (compressibility 1.44e-9 1/Pa).
        const double r[8] = {679.5, -0.85, -9e-4, 0.0, 0.098, -2e-5, 0.0, 0.0};
        for (int k = 0; k < 8; ++k) liq_a[k + 8 * (i - 1)] = r[k];
        par_a[i - 1] = 298.15, par_b[i - 1] = 1e5;
        // Enthalpy C(t) = c1 + c2 t + c3 t^2 + c4 t^3, t = T - 298.15: the liquid's
        // heat of formation -224.2 kJ/mol, cp 224.7 J/(mol K) rising 0.35 J/(mol K) per K.
        const double c[4] = {-224.2e6 / 100.20194, 2242.5, 1.75, 0.0};
        for (int set = 1; set <= 3; ++set)
            for (int j = 1; j <= 4; ++j) set_coef(i, set, j, c[j - 1]);
        tmin[i - 1] = 190.0, tbreak[i - 1] = 500.0, tmax[i - 1] = 500.0;
        pmin[i - 1] = 1e4, pmax[i - 1] = 1e8;
        tcrit[i - 1] = 540.2, pcrit[i - 1] = 2.74e6;
    }
    {  // liquid water, constant density; cp constant, h(298.15 K) = -285.83 kJ/mol
        const int i = fx::kH2OLiquid;
        iproptyp[i - 1] = 2, ifuel[i - 1] = -1, nterms[i - 1] = 2;
        mw[i - 1] = 18.01528;
        set_formula(i, {0, 2, 1, 0, 0, 0});
        rho[i - 1] = 997.05;
        const double cp = 4181.3;                    // J/(kg K)
        const double h0 = -285.83e6 / 18.01528;      // J/kg at 298.15 K
        if (opt.products_switch == 0) {
            const double R = kR / 18.01528;
            for (int set = 1; set <= 3; ++set) {
                set_coef(i, set, 3, cp / R);                  // a3 = cp/R
                set_coef(i, set, 8, h0 / R - cp / R * kTref);  // b1: h/R = a3 T + b1
            }
        } else {
            set_coef(i, 1, 1, h0);
            set_coef(i, 1, 2, cp);
        }
        tmin[i - 1] = 273.16, tbreak[i - 1] = 373.15, tmax[i - 1] = 647.0;
        tcrit[i - 1] = 647.1, pcrit[i - 1] = 2.2064e7;
    }
    for (int k = 1; k <= 13; ++k) {
        const int i = fx::product(k);
        set_gas(i, nasa9(nasa_name(i)), kProductSeries[k - 1]);
        for (int e = 0; e < 6; ++e) formula[e + 6 * (i - 1)] = kProductAtoms[k - 1][e];
        tcrit[i - 1] = kProductTcrit[k - 1], pcrit[i - 1] = kProductPcrit[k - 1];
    }
    for (int i = 0; i < C; ++i) mw_inv[static_cast<std::size_t>(i)] = 1.0 / mw[static_cast<std::size_t>(i)];

    const double tref = kTref, tref_liq = kTref, pref_liq = 1.0;  // K, K, bar
    const std::int32_t n = C, m = 8, k = 9;
    e.loadprop1(iproptyp.data(), ifuel.data(), nterms.data(), unread.data(), liq_form.data(), unread.data(),
              unread.data(), &tref, formula.data(), mw.data(), mw_inv.data(), coef.data(), liq_a.data(),
              liq_b.data(), liq_c.data(), rho.data(), rho.data(), tcrit.data(), pcrit.data(), tmin.data(),
              tbreak.data(), tmax.data(), pmin.data(), pmax.data(), par_a.data(), par_b.data(), &tref_liq,
              &pref_liq, &n, &m, &k, realgas_flag.data(), liq_flag.data());

    // ---- names and product data ----
    // The product tables hold the products' per-species data above, in their own order.
    std::vector<double> patoms, pseries, pmw(mw.begin() + 5, mw.end()), pmw_inv(mw_inv.begin() + 5, mw_inv.end()),
        sref(C, 0.0);
    for (int p = 0; p < 13; ++p) {
        patoms.insert(patoms.end(), kProductAtoms[p], kProductAtoms[p] + 6);
        pseries.insert(pseries.end(), kProductSeries[p], kProductSeries[p] + 8);
    }
    for (int i = 0; i < C; ++i)
        if (const char* gas = nasa_name(i + 1))
            sref[static_cast<std::size_t>(i)] = nasa9_s_R(nasa9(gas), kTref) * kR / nasa9(gas).mw;
    constexpr std::size_t kLen = 12;
    std::string names(C * kLen, ' ');
    for (std::size_t i = 0; i < C; ++i) names.replace(i * kLen, std::strlen(kNames[i]), kNames[i]);
    const double atomic_n = 14.0067, unused = 0.0;
    e.loadprop2(kProductTerms, patoms.data(), pmw.data(), pmw_inv.data(), pseries.data(), sref.data(),
              kProductTcrit, kProductPcrit, names.data(), static_cast<intptr_t>(kLen), &atomic_n, &unused,
              &unused);

    // ---- liquid-vapour pair: water liquid with the products' water vapour ----
    std::vector<std::int32_t> partner(C, 0), cavit_list(C);
    partner[fx::kH2OLiquid - 1] = fx::product(2);
    const std::int32_t l1 = 0, liquid_of_pair = fx::kH2OLiquid, l3 = 0;
    const double l4 = 0.0;
    e.loadprop4(&l1, &liquid_of_pair, &l3, &l4, partner.data(), unread.data());

    // Vapour pressure p = pref exp(-(1/T - 1/Tref) c4): water 101325 Pa at
    // 373.15 K and 3170 Pa at 298.15 K; n-heptane boils at 371.6 K with
    // 31.8 kJ/mol. Other species have none (pref 0).
    std::vector<double> cpref(C, 0.0), ctref(C, 300.0), c4(C, 0.0), czero(C, 0.0);
    for (int i = 0; i < C; ++i) cavit_list[static_cast<std::size_t>(i)] = i + 1;
    cpref[fx::kH2OLiquid - 1] = 101325.0, ctref[fx::kH2OLiquid - 1] = 373.15, c4[fx::kH2OLiquid - 1] = 5140.0;
    cpref[fx::kC7H16Liquid - 1] = 101325.0, ctref[fx::kC7H16Liquid - 1] = 371.6;
    c4[fx::kC7H16Liquid - 1] = 31.8e3 / 8.3143;  // K: heat of vaporisation / R
    e.loadcavit2(cavit_list.data(), cpref.data(), ctref.data(), c4.data(), czero.data(), czero.data(),
               czero.data(), czero.data(), czero.data());

    // ---- viscosity table of liquid water: one pressure level at 1 bar ----
    constexpr int R = kTableRows, w = fx::kH2OLiquid - 1;
    std::vector<std::int32_t> tt_count(C, 0), tt_levels(C, 0), tt_rows(2 * R * C, 0), tt_unread(R * C, 0);
    std::vector<double> tt_t(R * C, 0.0), tt_p(R * C, 1e5), tt_mu(R * C, 0.0), tt_k(R * C, 0.6);  // W/(m K)
    const double t_K[3] = {280.0, 320.0, 360.0}, mu_Pas[3] = {1.4e-3, 0.6e-3, 0.3e-3};
    std::copy_n(t_K, 3, tt_t.begin() + w * R);
    std::copy_n(mu_Pas, 3, tt_mu.begin() + w * R);
    tt_count[w] = 3, tt_levels[w] = 1, tt_rows[2 * R * w] = 1, tt_rows[2 * R * w + 1] = 3;
    const std::int32_t unused9 = 0;
    e.loadprop9(tt_count.data(), tt_t.data(), tt_p.data(), tt_mu.data(), tt_k.data(), tt_rows.data(),
              tt_levels.data(), tt_unread.data(), &unused9);

    // ---- settings outside the set ----
    const std::int32_t one = 1, mode_mass = 1, gibbs = 0;
    e.loadcircset(&one, &mode_mass);
    e.copy_user_property_parameters(&gibbs, &one, &opt.pair_parameter);
    e.set_evolution_scalar_flags_user();
}

}  // namespace usersub::test
