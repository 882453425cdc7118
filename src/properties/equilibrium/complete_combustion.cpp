#include "properties/equilibrium/complete_combustion.h"

#include "properties/species/product_species.h"

#include <algorithm>
#include <cmath>

namespace usersub::properties {
namespace {

constexpr double kFloor = 1e-10;

// Near-stoichiometric correction c0 + c1 t + c2 t^2, t = exp(T / 1000 K).
struct Correction {
    Product product;
    double c0, c1, c2;
};
constexpr Correction kNearStoichiometric[] = {
    {kN2, -0.002200297, 0.0008117709, -9.262429e-05},
    {kO2, 0.00482141, -0.001262664, 5.916648e-05},
    {kCO, 0.006194653, -0.001894058, 0.0001430534},
    {kH2, 0.001286682, -0.0003827868, 2.856407e-05},
    {kCO2, -0.006748034, 0.002060431, -0.0001556688},
    {kH2O, -0.00248815, 0.0008368133, -7.263933e-05},
    {kH, 0.0009704381, -0.0002256362, 1.261172e-05},
    {kO, 0.001080353, -0.0002676088, 1.647386e-05},
    {kOH, 8.890776e-05, -0.0002784269, 4.490364e-05},
    {kNO, -0.003033447, 0.0006115966, 1.576145e-05},
};

// Divides the given products by their sum, then raises CO2 .. NO to the floor.
template <std::size_t N>
void normalise_and_floor(const Array1<double>& x, const Product (&members)[N]) noexcept
{
    double sum = 0.0;
    for (Product k : members) sum += x(k);
    if (sum != 0.0)
        for (Product k : members) x(k) /= sum;
    for (int k = kCO2; k <= kNO; ++k) x(k) = std::max(x(k), kFloor);
}

}  // namespace

void products_nodissoc(double t_K, double n_C, double n_H, double n_O, double n_N, double n_Ar,
                       double n_S, double phi) noexcept
{
    const Array1<double>& x = product_species().prod_molefrac;

    if (phi <= 1.0) {
        x(kCO2) = n_C;
        x(kH2O) = 0.5 * n_H;
        x(kO2) = 0.5 * n_O * (1.0 - phi);
        x(kCO) = 0.0;
        x(kH2) = 0.0;
    } else {
        // Water-gas shift CO2 + H2 = CO + H2O with K = exp(2.743 - 1.761 u - 1.611 u^2
        // + 0.2803 u^3), u = 1000 K / T. With the CO amount c: CO2 = n_C - c,
        // H2O = w0 + c, H2 = h0 - c, and K (n_C - c)(h0 - c) = c (w0 + c), i.e.
        // a c^2 + b c - q = 0.
        const double u = 1000.0 / t_K;
        const double K = std::exp(2.743 - 1.761 * u - 1.611 * u * u + 0.2803 * u * u * u);
        const double w0 = n_O - 2.0 * n_C;
        const double h0 = (phi - 1.0) * n_O;
        const double a = 1.0 - K;
        const double b = K * (n_C + h0) + w0;
        const double q = K * (phi - 1.0) * n_O * n_C;
        // The root (sqrt(b^2 + 4 a q) - b) / (2 a), in the form without cancellation;
        // the discriminant is negative only when there is less oxygen than carbon.
        const double root = std::sqrt(std::max(b * b + 4.0 * a * q, 0.0));
        double co = 0.0;
        if (b >= 0.0)
            co = root + b > 0.0 ? 2.0 * q / (root + b) : 0.0;
        else
            co = a != 0.0 ? (root - b) / (2.0 * a) : q / b;
        x(kCO) = co;
        x(kCO2) = n_C - co;
        x(kH2O) = w0 + co;
        x(kH2) = h0 - co;
        x(kO2) = 0.0;
    }
    x(kN2) = 0.5 * n_N;
    x(kAr) = n_Ar;
    x(kSO2) = n_S;
    x(kH) = 0.0;
    x(kO) = 0.0;
    x(kOH) = 0.0;
    x(kNO) = 0.0;

    constexpr Product kMajor[] = {kCO2, kH2O, kN2, kO2, kCO, kH2, kAr, kSO2};
    normalise_and_floor(x, kMajor);

    if (phi > 0.9 && phi < 1.2) {
        const double t = std::exp(t_K / 1000.0);
        for (const Correction& c : kNearStoichiometric)
            x(c.product) += c.c0 + c.c1 * t + c.c2 * t * t;
        constexpr Product kAllButN[] = {kCO2, kH2O, kN2, kO2, kCO, kH2,
                                        kH,   kO,   kOH, kNO, kAr, kSO2};
        normalise_and_floor(x, kAllButN);
    }
}

}  // namespace usersub::properties
