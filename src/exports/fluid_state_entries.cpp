// The fluid-state entry points: each forwards its arguments to the library's
// own fluid-state call of the same name.
#include "exports/host_args.h"
#include "properties/state/fluid_state.h"

namespace pr = usersub::properties;

extern "C" {

void ZALTHRM_TP(const double* t_K, const double* p_Pa, double* y, double* rho, double* e, double* h, double* cp,
                double* cv)
{
    pr::zalthrm_tp(*t_K, *p_Pa, y, *rho, *e, *h, *cp, *cv);
}

void ZALTHRM_TP_EQ(const double* t_K, const double* p_Pa, double* y, double* rho, double* e, double* h,
                   double* cp, double* cv)
{
    pr::zalthrm_tp_eq(*t_K, *p_Pa, y, *rho, *e, *h, *cp, *cv);
}

void ZALTHRM_RE(const double* rho, const double* e, double* y, double* t_K, double* p_Pa, double* h, double* cp,
                double* cv)
{
    pr::zalthrm_re(*rho, *e, y, *t_K, *p_Pa, *h, *cp, *cv);
}

void ZALTHRM_RE_EQ(const double* rho, const double* e, double* y, double* t_K, double* p_Pa, double* h,
                   double* cp, double* cv)
{
    pr::zalthrm_re_eq(*rho, *e, y, *t_K, *p_Pa, *h, *cp, *cv);
}

void ZALTHRM_PH(const double* p_Pa, const double* h, const double* y, double* t_K, double* rho, double* e,
                double* cp, double* cv)
{
    pr::zalthrm_ph(*p_Pa, *h, y, *t_K, *rho, *e, *cp, *cv);
}

}  // extern "C"
