// Inputs at a physical limit give their finite value: a composition with nothing in it has
// no fractions. (The limits and host errors of each model are tested with the model.)
#include "support/species_fixture.h"
#include "usermodels/model_setup.h"

namespace usersub::test {
namespace {

TEST(FiniteResults, EmptyCompositionHasNoFractions)
{
    load_species_fixture();
    const std::vector<double> zero(fx::kNSpecies, 0.0);
    std::vector<double> out(fx::kNSpecies, -1.0);
    GETMOLFRAC(zero.data(), out.data());
    EXPECT_EQ(out, zero);
    out.assign(fx::kNSpecies, -1.0);
    GETMASSFRAC(zero.data(), out.data());
    EXPECT_EQ(out, zero);
    // Amounts at the top of the real range overflow no sum: N2 and O2 at equal
    // moles are 28.0134 / (28.0134 + 31.9988) by mass.
    std::vector<double> huge(fx::kNSpecies, 0.0);
    huge[fx::kN2 - 1] = 1e308;
    huge[fx::kO2 - 1] = 1e308;
    GETMASSFRAC(huge.data(), out.data());
    EXPECT_NEAR(out[fx::kN2 - 1], 28.0134 / 60.0122, 1e-12);
}

}  // namespace
}  // namespace usersub::test
