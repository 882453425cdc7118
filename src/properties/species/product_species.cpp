#include "properties/species/product_species.h"

#include <array>

namespace usersub::properties {
namespace {

// NASA Glenn 9-coefficient polynomials of the product species (McBride, Zehe
// and Gordon, NASA/TP-2002-211556, thermo.inp of the CEA program), per product
// species: the 200..1000 K set, then the 1000..6000 K set, each
// a1..a7, b1, b2.
constexpr double kNasa9Rows[kProducts][2][9] = {
    // CO2
    {
        {49436.5054, -626.411601, 5.30172524, 0.002503813816, -2.127308728e-07, -7.68998878e-10, 2.849677801e-13, -45281.9846, -7.04827944},
        {117696.2419, -1788.791477, 8.29152319, -9.22315678e-05, 4.86367688e-09, -1.891053312e-12, 6.33003659e-16, -39083.5059, -26.52669281},
    },
    // H2O
    {
        {-39479.6083, 575.573102, 0.931782653, 0.00722271286, -7.34255737e-06, 4.95504349e-09, -1.336933246e-12, -33039.7431, 17.24205775},
        {1034972.096, -2412.698562, 4.64611078, 0.002291998307, -6.83683048e-07, 9.42646893e-11, -4.82238053e-15, -13842.86509, -7.97814851},
    },
    // N2
    {
        {22103.71497, -381.846182, 6.08273836, -0.00853091441, 1.384646189e-05, -9.62579362e-09, 2.519705809e-12, 710.846086, -10.76003744},
        {587712.406, -2239.249073, 6.06694922, -0.00061396855, 1.491806679e-07, -1.923105485e-11, 1.061954386e-15, 12832.10415, -15.86640027},
    },
    // O2
    {
        {-34255.6342, 484.700097, 1.119010961, 0.00429388924, -6.83630052e-07, -2.0233727e-09, 1.039040018e-12, -3391.45487, 18.4969947},
        {-1037939.022, 2344.830282, 1.819732036, 0.001267847582, -2.188067988e-07, 2.053719572e-11, -8.19346705e-16, -16890.10929, 17.38716506},
    },
    // CO
    {
        {14890.45326, -292.2285939, 5.72452717, -0.00817623503, 1.456903469e-05, -1.087746302e-08, 3.027941827e-12, -13031.31878, -7.85924135},
        {461919.725, -1944.704863, 5.91671418, -0.000566428283, 1.39881454e-07, -1.787680361e-11, 9.62093557e-16, -2466.261084, -13.87413108},
    },
    // H2
    {
        {40783.2321, -800.918604, 8.21470201, -0.01269714457, 1.753605076e-05, -1.20286027e-08, 3.36809349e-12, 2682.484665, -30.43788844},
        {560812.801, -837.150474, 2.975364532, 0.001252249124, -3.74071619e-07, 5.9366252e-11, -3.6069941e-15, 5339.82441, -2.202774769},
    },
    // H
    {
        {0.0, 0.0, 2.5, 0.0, 0.0, 0.0, 0.0, 25473.70801, -0.446682853},
        {60.7877425, -0.1819354417, 2.500211817, -1.226512864e-07, 3.73287633e-11, -5.68774456e-15, 3.410210197e-19, 25474.86398, -0.448191777},
    },
    // O
    {
        {-7953.6113, 160.7177787, 1.966226438, 0.00101367031, -1.110415423e-06, 6.5175075e-10, -1.584779251e-13, 28403.62437, 8.40424182},
        {261902.0262, -729.872203, 3.31717727, -0.000428133436, 1.036104594e-07, -9.43830433e-12, 2.725038297e-16, 33924.2806, -0.667958535},
    },
    // OH
    {
        {-1998.85899, 93.0013616, 3.050854229, 0.001529529288, -3.157890998e-06, 3.31544618e-09, -1.138762683e-12, 2991.214235, 4.67411079},
        {1017393.379, -2509.957276, 5.11654786, 0.000130529993, -8.28432226e-08, 2.006475941e-11, -1.556993656e-15, 20196.40206, -11.01282337},
    },
    // NO
    {
        {-11439.16503, 153.6467592, 3.43146873, -0.002668592368, 8.48139912e-06, -7.68511105e-09, 2.386797655e-12, 9098.21441, 6.72872549},
        {223901.8716, -1289.651623, 5.43393603, -0.00036560349, 9.88096645e-08, -1.416076856e-11, 9.38018462e-16, 17503.17656, -8.50166909},
    },
    // N
    {
        {0.0, 0.0, 2.5, 0.0, 0.0, 0.0, 0.0, 56104.6378, 4.193905036},
        {88765.0138, -107.12315, 2.362188287, 0.0002916720081, -1.7295151e-07, 4.01265788e-11, -2.677227571e-15, 56973.5133, 4.865231506},
    },
    // Ar
    {
        {0.0, 0.0, 2.5, 0.0, 0.0, 0.0, 0.0, -745.375, 4.37967491},
        {20.10538475, -0.0599266107, 2.500069401, -3.99214116e-08, 1.20527214e-11, -1.819015576e-15, 1.078576636e-19, -744.993961, 4.37918011},
    },
    // SO2
    {
        {-53108.4214, 909.031167, -2.356891244, 0.02204449885, -2.510781471e-05, 1.446300484e-08, -3.36907094e-12, -41137.5208, 40.45512519},
        {-112764.0116, -825.226138, 7.61617863, -0.000199932761, 5.65563143e-08, -5.45431661e-12, 2.918294102e-16, -33513.0869, -16.55776085},
    },
};

// Enthalpy power series in (T - tref_thermo), J/kg, c_0..c_7 per product.
constexpr double kCpMassRows[kProducts][8] = {
    {-8943100, 851.972, 0.4479183, -0.0002167482, 5.810735e-08, -6.39489e-12, 0, 0},        // CO2
    {-13433330, 1864.904, 0.186282, 0.0001795641, -8.803844e-08, 1.225805e-11, 0, 0},        // H2O
    {0, 1036.447, 0.05841124, 5.425229e-05, -3.140294e-08, 4.79288e-12, 0, 0},               // N2
    {0, 918.734, 0.1749594, -6.828881e-05, 1.68271e-08, -1.678412e-12, 0, 0},                // O2
    {-3945000, 1038.067, 0.08307473, 3.593222e-05, -2.58858e-08, 4.178628e-12, 0, 0},        // CO
    {0, 14258.04, 0.2359437, 0.000477612, -1.419671e-07, 1.364091e-11, 0, 0},                // H2
    {216275200, 20620, 0, 0, 0, 0, 0, 0},                                                    // H
    {15573370, 1365.518, -0.09192479, 6.414476e-05, -2.141029e-08, 2.73903e-12, 0, 0},       // O
    {2292326, 1756.822, -0.1009922, 0.0001850806, -6.797219e-08, 8.536132e-12, 0, 0},        // OH
    {3001686, 988.761, 0.1074581, -1.154737e-06, -1.021582e-08, 1.943911e-12, 0, 0},         // NO
    {33732960, 1489.611, 0, 0, 0, 0, 0, 0},                                                  // N
    {0, 520.32, 0, 0, 0, 0, 0, 0},                                                           // Ar
    {-4632834, 658.885, 0.1812999, -6.157292e-05, 1.003749e-08, -6.093644e-13, 0, 0},        // SO2
};

// Atoms of C, H, O, N, S, Ar per molecule.
constexpr double kAtomRows[kProducts][6] = {
    {1, 0, 2, 0, 0, 0}, {0, 2, 1, 0, 0, 0}, {0, 0, 0, 2, 0, 0}, {0, 0, 2, 0, 0, 0},
    {1, 0, 1, 0, 0, 0}, {0, 2, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0},
    {0, 1, 1, 0, 0, 0}, {0, 0, 1, 1, 0, 0}, {0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 1},
    {0, 0, 2, 0, 1, 0},
};

struct ProductStorage {
    char names[kProducts * kProductNameLen];
    double nasa9[2 * 9 * kProducts];  // (set, coefficient, product)
    double cp_mass[8 * kProducts];
    double atoms[6 * kProducts];
    std::int32_t nterms[kProducts];
    double settings_real[2];
    double tcrit[kProducts];
    double pcrit[kProducts];
    double mw[kProducts];
    double mw_inv[kProducts];
    double molefrac[kProducts];
    double element_totals[6];
};

constexpr ProductStorage initial_data()
{
    ProductStorage s{};
    constexpr char names[] = "prod_co2prod_h2oprod_n2 prod_o2 prod_co prod_h2 prod_h  prod_o  "
                             "prod_oh prod_no prod_n  prod_ar prod_so2";
    for (std::size_t i = 0; i < kProducts * kProductNameLen; ++i) s.names[i] = names[i];
    for (int k = 0; k < kProducts; ++k) {
        for (int j = 0; j < 9; ++j)
            for (int r = 0; r < 2; ++r) s.nasa9[r + 2 * j + 18 * k] = kNasa9Rows[k][r][j];
        for (int j = 0; j < 8; ++j) s.cp_mass[j + 8 * k] = kCpMassRows[k][j];
        for (int e = 0; e < 6; ++e) s.atoms[e + 6 * k] = kAtomRows[k][e];
        s.nterms[k] = 6;
    }
    s.nterms[kAr - 1] = 2;
    s.settings_real[0] = 100.0;   // K, recombination temperature
    s.settings_real[1] = 1600.0;  // K, equilibrium threshold temperature
    const double tcrit[kProducts] = {304.1, 647.3, 126.2, 154.6, 132.9, 33.3, 1e9,
                                     1e9,   1e9,   180.0, 1e9,   150.7, 430.75};
    const double pcrit[kProducts] = {7.39e6, 2.209e7, 3.39e6, 5.05e6, 3.5e6, 1.3e6, 1e9,
                                     1e9,    1e9,     6.49e6, 1e9,   4.86e6, 7.87e6};
    for (int k = 0; k < kProducts; ++k) {
        s.tcrit[k] = tcrit[k];
        s.pcrit[k] = pcrit[k];
    }
    return s;
}

ProductStorage g_data = initial_data();

ProductSpeciesSet make_views() noexcept
{
    ProductStorage& d = g_data;
    return ProductSpeciesSet{
        TextArray<const char>("PROD_SPECIES_NAMES", d.names, kProductNameLen, kProducts),
        ArrayN<const double, 3>("PROD_NASA9", d.nasa9, {2, 9, kProducts}),
        ArrayN<double, 2>("PROD_CP_MASS", d.cp_mass, {8, kProducts}),
        ArrayN<double, 2>("PROD_ATOMS", d.atoms, {6, kProducts}),
        Array1<std::int32_t>("PROD_SETTINGS", d.nterms, kProducts),
        Array1<double>("PROD_SETTINGS_REAL", d.settings_real, 2),
        Array1<double>("PROD_TCRIT", d.tcrit, kProducts),
        Array1<double>("PROD_PCRIT", d.pcrit, kProducts),
        Array1<double>("PROD_MW", d.mw, kProducts),
        Array1<double>("PROD_MW_INV", d.mw_inv, kProducts),
        Array1<double>("PROD_MOLEFRAC", d.molefrac, kProducts),
        Array1<double>("ELEMENT_TOTALS", d.element_totals, 6),
    };
}

}  // namespace

const double* prod_nasa9_sets() noexcept
{
    alignas(16) static constexpr auto sets = [] {
        std::array<double, kProdNasa9SetLen * 2 * kProducts> a{};
        for (int k = 0; k < kProducts; ++k)
            for (int r = 0; r < 2; ++r)
                for (int j = 0; j < kProdNasa9SetLen; ++j) a[(2 * k + r) * kProdNasa9SetLen + j] = kNasa9Rows[k][r][j];
        return a;
    }();
    return sets.data();
}

const ProductSpeciesSet& product_species() noexcept
{
    static const ProductSpeciesSet views = make_views();
    return views;
}

}  // namespace usersub::properties
