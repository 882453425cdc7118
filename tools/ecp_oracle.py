#!/usr/bin/env python3
"""Reference solutions of the equilibrium-constant relations of the product solvers.

Solves, for each case, the seven equilibrium relations of H, O, OH, NO, H2O,
CO2 and N together with the four balances (the thirteen mole fractions sum to
1; H, O and N stand to C as n_H, n_O and n_N to n_C, the atoms of N counted
with those of N2 and NO; Ar and SO2 follow C as n_Ar and n_S do). The method is
independent of the library's: Newton's method on the logarithms of the four
unknowns N2, O2, CO, H2 with a finite-difference Jacobian and a backtracking
line search, in 60-digit decimal arithmetic, to a step below 1e-40, so that
every mole fraction written is exact to the 17 digits printed.

Standard library only. Writes tests/data/ecp_oracle_cases.txt:
    python3 tools/ecp_oracle.py > tests/data/ecp_oracle_cases.txt
"""

from decimal import Decimal as D, getcontext

getcontext().prec = 60

# log10 K = A ln(T/1000) + B/T + C + D T + E T^2
FITS = [
    ("0.432168", "-11246.4", "2.67269", "-7.45744e-05", "2.42484e-09"),     # 1/2 H2 = H
    ("0.310805", "-12954.0", "3.21779", "-7.38336e-05", "3.44645e-09"),     # 1/2 O2 = O
    ("-0.141784", "-2133.08", "0.853461", "3.55015e-05", "-3.10227e-09"),   # OH
    ("0.0150879", "-4709.59", "0.646096", "2.72805e-06", "-1.54444e-09"),   # NO
    ("-0.752364", "12421.0", "-2.60286", "0.000259556", "-1.62687e-08"),    # H2O
    ("-0.00415302", "14862.7", "-4.75746", "0.000124699", "-9.00227e-09"),  # CO2
    ("0.389716", "-24582.8", "3.14505", "-9.6373e-05", "5.85643e-09"),      # 1/2 N2 = N
]
LN10 = D(10).ln()


def constants(t):
    t = D(t)
    ln_t = (t / 1000).ln()
    return [((D(a) * ln_t + D(b) / t + D(c) + D(d) * t + D(e) * t * t) * LN10).exp()
            for a, b, c, d, e in FITS]


def species(k, sp, n2, o2, co, h2, r_ar, r_s):
    """All thirteen mole fractions from the four unknowns."""
    a, h, m = o2.sqrt(), h2.sqrt(), n2.sqrt()
    co2 = k[5] * sp * a * co
    return {
        "CO2": co2, "H2O": k[4] * sp * a * h2, "N2": n2, "O2": o2, "CO": co, "H2": h2,
        "H": k[0] * h / sp, "O": k[1] * a / sp, "OH": k[2] * h * a, "NO": k[3] * a * m,
        "N": k[6] * m / sp,
        "Ar": r_ar * (co + co2), "SO2": r_s * (co + co2),
    }


def residuals(case, k, sp, logs):
    r_h, r_o, r_n, r_ar, r_s = case["ratios"]
    x = species(k, sp, *[v.exp() for v in logs], r_ar, r_s)
    c = x["CO"] + x["CO2"]
    return [
        sum(x.values()) - 1,
        2 * (x["H2O"] + x["H2"]) + x["H"] + x["OH"] - r_h * c,
        2 * (x["CO2"] + x["O2"]) + x["CO"] + x["O"] + x["H2O"] + x["OH"] + x["NO"] - r_o * c,
        2 * x["N2"] + x["NO"] + x["N"] - r_n * c,
    ], x


def gauss(a, b):
    n = len(b)
    for col in range(n):
        piv = max(range(col, n), key=lambda r: abs(a[r][col]))
        a[col], a[piv] = a[piv], a[col]
        b[col], b[piv] = b[piv], b[col]
        for r in range(n):
            if r != col:
                f = a[r][col] / a[col][col]
                for j in range(col, n):
                    a[r][j] -= f * a[col][j]
                b[r] -= f * b[col]
    return [b[i] / a[i][i] for i in range(n)]


def solve(case):
    k = constants(case["T"])
    sp = (D(case["P"]) * D("1e-5") * D("0.9869233")).sqrt()
    norm = lambda f: sum(v * v for v in f)
    # A rough start: a little of everything, in logarithms.
    logs = [D("0.3").ln(), D("0.01").ln(), D("0.01").ln(), D("0.01").ln()]
    f, _ = residuals(case, k, sp, logs)
    for _ in range(500):
        h = D("1e-25")
        jac = [[None] * 4 for _ in range(4)]
        for j in range(4):
            shifted = list(logs)
            shifted[j] += h
            fj, _ = residuals(case, k, sp, shifted)
            for i in range(4):
                jac[i][j] = (fj[i] - f[i]) / h
        step = gauss(jac, [-v for v in f])
        biggest = max(abs(s) for s in step)
        if biggest > 3:
            step = [s * 3 / biggest for s in step]
        lam = D(1)
        while True:
            trial = [l + lam * s for l, s in zip(logs, step)]
            ft, _ = residuals(case, k, sp, trial)
            if norm(ft) < norm(f) or lam < D("1e-12"):
                break
            lam /= 2
        logs, f = trial, ft
        if max(abs(s) for s in step) * lam < D("1e-40"):
            break
    else:
        raise RuntimeError("no convergence: " + case["name"])
    f, x = residuals(case, k, sp, logs)
    assert max(abs(v) for v in f) < D("1e-35"), case["name"]
    return x


AIR = {"O2": D("0.21"), "N2": D("0.79"), "Ar": D(0)}
AIR_AR = {"O2": D("0.2095"), "N2": D("0.7812"), "Ar": D("0.0093")}
AIR_376 = {"O2": D(1), "N2": D("3.76"), "Ar": D(0)}  # the air of the state tests


def case(name, t, p_bar, fuel, phi, air=AIR, n_share=None):
    """Fuel (C, H, O, S atoms) burnt at equivalence ratio phi (on the oxygen left
    after sulfur is bound as SO2) with air, or with oxygen and a trace of
    nitrogen n_share = n_N / n_C."""
    c, h, o, s = (D(v) for v in fuel)
    o2_stoich = c + h / 4 - o / 2  # per mole of fuel
    o2 = o2_stoich / D(phi)
    n_c, n_h, n_s = c, h, s
    n_o = o + 2 * o2  # SO2's oxygen comes on top, the solvers never see it
    o2_air = o2 + s  # air brought for sulfur too
    if n_share is None:
        n_n = 2 * o2_air * air["N2"] / air["O2"]
        n_ar = o2_air * air["Ar"] / air["O2"]
    else:
        n_n, n_ar = D(n_share) * n_c, D(0)
    return {"name": name, "T": D(t), "P": D(p_bar) * D("1e5"),
            "amounts": (n_c, n_h, n_o, n_n, n_ar, n_s),
            "ratios": (n_h / n_c, n_o / n_c, n_n / n_c, n_ar / n_c, n_s / n_c)}


CH4 = (1, 4, 0, 0)
C8H18 = (8, 18, 0, 0)
C2H5OH = (2, 6, 1, 0)
DIESEL_S = (12, 23, 0, "0.02")

CASES = [
    case("ch4_lean_1600K_1bar", 1600, 1, CH4, "0.6"),
    case("ch4_lean_3400K_1bar", 3400, 1, CH4, "0.7"),
    case("ch4_stoich_2200K_10bar", 2200, 10, CH4, "1.0"),
    case("ch4_phi1.04_2000K_1bar", 2000, 1, CH4, "1.04"),
    case("ch4_rich_2400K_50bar", 2400, 50, CH4, "1.5"),
    case("c8h18_lean_2400K_10bar", 2400, 10, C8H18, "0.8"),
    case("c8h18_stoich_2400K_10bar", 2400, 10, C8H18, "1.0"),
    case("c8h18_phi0.97_1800K_100bar", 1800, 100, C8H18, "0.97"),
    case("c8h18_rich_3000K_20bar", 3000, 20, C8H18, "1.3"),
    case("c8h18_rich_1600K_1bar", 1600, 1, C8H18, "2.0"),
    case("c2h5oh_lean_2600K_5bar", 2600, 5, C2H5OH, "0.9"),
    case("c2h5oh_phi1.02_2300K_30bar", 2300, 30, C2H5OH, "1.02"),
    case("c2h5oh_rich_3400K_100bar", 3400, 100, C2H5OH, "1.2"),
    case("diesel_sulfur_phi0.96_2200K_40bar", 2200, 40, DIESEL_S, "0.96"),
    case("c8h18_argon_air_2100K_5bar", 2100, 5, C8H18, "1.0", air=AIR_AR),
    case("ch4_oxygen_no_n2_3000K_10bar", 3000, 10, CH4, "1.0", n_share="1e-4"),
    case("ch4_oxygen_no_n2_2000K_1bar", 2000, 1, CH4, "1.03", n_share="1e-4"),
]
# Pairs 1 K apart for the equilibrium cp (a backward difference): lean, rich,
# and hot and thin, where atomic N is several per cent of the nitrogen.
for name, t, p_bar, fuel, phi in [("ch4_lean", 2300, 10, CH4, "0.8"), ("ch4_rich", 2300, 10, CH4, "1.6"),
                                  ("c8h18_rich", 2300, 10, C8H18, "1.6"), ("ch4_hot_thin", 3500, "0.1", CH4, "1.0")]:
    for at in (t, t - 1):
        CASES.append(case("cp_%s_%sK_%sbar" % (name, at, p_bar), at, p_bar, fuel, phi, air=AIR_376))

ORDER = ["CO2", "H2O", "N2", "O2", "CO", "H2", "H", "O", "OH", "NO", "N", "Ar", "SO2"]

HEADER = """\
# Equilibrium of the combustion products by the relations of the product
# solvers: seven equilibrium constants K(T) of H, O, OH, NO, H2O, CO2, N with
# the four balances of C, H, O, N (Ar and SO2 following C). The rows named
# cp_ come in pairs 1 K apart, for the equilibrium cp.
# Made by tools/ecp_oracle.py (Python standard library): Newton's method on
# the logarithms of N2, O2, CO, H2, finite-difference Jacobian, backtracking,
# 60-digit decimals, residuals below 1e-35; the values are exact to the
# digits printed.
#
# Tolerance of the tests: the solvers stop once the largest Newton step of
# the unknowns (mole fractions, or their square roots) is below 1e-6, after at
# least three iterations. By then the damping c / |d_prev - d_max| + 0.06 is at
# its cap of 1 (c >= 0.0005 over a difference below 1e-5), so the last steps
# are full Newton steps and the error they leave is of the order of the square
# of the step before: far below the 1e-6 that the rule names, except where a
# mole fraction is itself of that order. The tests take every mole fraction
# within 1e-4 of its value plus 1e-9: room for the end of a quadratic
# convergence on the smallest unknowns (the worst of these cases stays below
# 4e-5 relative and 1e-7 absolute), and far too tight for an error in any one
# equilibrium constant or balance.
#
# name T_K P_Pa n_C n_H n_O n_N n_Ar n_S (n_O without the oxygen of SO2),
# then the mole fractions of CO2 H2O N2 O2 CO H2 H O OH NO N Ar SO2
"""


def main():
    print(HEADER, end="")
    for c in CASES:
        x = solve(c)
        amounts = " ".join("%.17g" % float(v) for v in c["amounts"])
        fractions = " ".join("%.17g" % float(x[s]) for s in ORDER)
        print("%s %.17g %.17g %s %s" % (c["name"], float(c["T"]), float(c["P"]), amounts, fractions))


if __name__ == "__main__":
    main()
