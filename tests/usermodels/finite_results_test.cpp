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
}

}  // namespace
}  // namespace usersub::test
