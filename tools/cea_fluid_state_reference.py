#!/usr/bin/python3
"""Reference equilibrium states of methane-air products from NASA CEA.

Writes tests/data/cea_fluid_state_tp.txt and tests/data/cea_fluid_state_uv.txt,
against which the fluid-state entry points with equilibrium chemistry
(ZALTHRM_TP_EQ and ZALTHRM_RE_EQ) are tested. The reactants are given as mass
fractions of CH4, O2 and N2 (the gases of the tests' species set, air of
0.233 O2 and 0.767 N2 by mass); the products are the eleven species CO2 H2O
N2 O2 CO H2 H O OH NO N, over which the library's Gibbs minimisation works.

The reference program is NASA Glenn's CEA (McBride and Gordon, NASA RP-1311)
through the Python module rocketcea.py_cea of the Debian package `rocketcea`
(the same NASA Glenn coefficients as /work/shared/data/nasa9.json, see
tools/cea_equilibrium_reference.py). The test command does not need CEA: the
data files are committed.

To regenerate:
    apt-get install -y rocketcea
    /usr/bin/python3 tools/cea_fluid_state_reference.py

tp cases: "problem tp" at T and p gives density, enthalpy, internal energy,
the equilibrium cp and the mole fractions; a second run at T - 1 K gives the
mole fractions there (the entry point's cp is a 1 K backward difference, so
the composition it returns is that of T - 1 K).
uv cases: "problem uv" with the density and u/R of the tp case at T gives
back T and p; the mole fractions written are CEA's at T_uv - 1 K and p_uv.
Values are CEA's printed digits, copied unchanged in e-notation.
"""

import json
import os
import re
import shutil
import sys
import tempfile

import cea_deck

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data")
NASA9 = os.environ.get("NASA9_JSON", "/work/shared/data/nasa9.json")
R_CEA = 8314.51  # J/(kmol K), CEA's gas constant, for u/R

PRODUCTS = ["CO2", "H2O", "N2", "O2", "CO", "H2", "H", "O", "OH", "NO", "N"]
ATOMS = {"CH4": {"C": 1, "H": 4}, "O2": {"O": 2}, "N2": {"N": 2}}

# (equivalence ratio, T in K, p in bar)
CASES = [
    (0.8, 2000.0, 5.0),
    (1.0, 2400.0, 10.0),
    (1.2, 2800.0, 1.0),
    (1.0, 3200.0, 50.0),
    (3.0, 2000.0, 20.0),
]


def molecular_weights():
    data = {s["name"]: s for s in json.load(open(NASA9))["species"]}
    return {name: data[name]["molecular_weight"] for name in ATOMS}


def reactants(phi, mw):
    """Mass fractions of CH4, O2, N2 at phi in air of 0.233 O2 by mass."""
    fuel_per_air = phi * mw["CH4"] / (2.0 * mw["O2"] / 0.233)
    y_ch4 = fuel_per_air / (1.0 + fuel_per_air)
    y = {"CH4": y_ch4, "O2": 0.233 * (1.0 - y_ch4), "N2": 0.767 * (1.0 - y_ch4)}
    return {k: float("%.9f" % v) for k, v in y.items()}


def element_amounts(y, mw):
    n = {"C": 0.0, "H": 0.0, "O": 0.0, "N": 0.0}
    for sp, frac in y.items():
        for e, a in ATOMS[sp].items():
            n[e] += frac / mw[sp] * a * 1000.0  # mol per kg
    return n


def cea_number(text):
    m = re.fullmatch(r"(-?\d+\.\d+)([+-]\d+)?", text)
    if not m:
        sys.exit("unexpected CEA number %r" % text)
    return "%se%s" % (m.group(1), m.group(2)) if m.group(2) else m.group(1)


def run_cea(workdir, n, problem):
    formula = " ".join("%s %.7f" % (e, n[e]) for e in ("C", "H", "O", "N") if n[e] > 0)
    lines = ["problem " + problem[0]] + ["  " + p for p in problem[1:]] + [
        "react",
        "  name=mix wt=100 h,kj/mol=0 " + formula,
        "only " + " ".join(PRODUCTS),
        "output trace=1e-15",
        "end",
    ]
    text = cea_deck.solve(workdir, lines)
    props = {}
    for key, label in [("p", "P, BAR"), ("t", "T, K"), ("rho", "RHO, KG/CU M"), ("h", "H, KJ/KG"),
                       ("u", "U, KJ/KG"), ("cp", "Cp, KJ/(KG)(K)")]:
        m = re.search(r"^ " + re.escape(label) + r" +(\S+)", text, re.M)
        props[key] = cea_number(m.group(1))
    block = text.split("MOLE FRACTIONS", 1)[1].split("* THERMODYNAMIC PROPERTIES FITTED", 1)[0]
    x = {}
    for line in block.splitlines():
        if line.strip():
            x[line[:16].strip().lstrip("*")] = cea_number(line[16:].replace(" ", ""))
    props["x"] = " ".join("%-10s" % x.get(s, "-") for s in PRODUCTS)
    return props


def main():
    import rocketcea
    mw = molecular_weights()
    pkg = os.path.dirname(rocketcea.__file__)
    tp_rows, uv_rows = [], []
    with tempfile.TemporaryDirectory() as work:
        for f in ("thermo.lib", "trans.lib", "f.inp"):
            shutil.copy(os.path.join(pkg, f), work)
        for phi, t_k, p_bar in CASES:
            y = reactants(phi, mw)
            n = element_amounts(y, mw)
            ys = "%.9f %.9f %.9f" % (y["CH4"], y["O2"], y["N2"])
            at = run_cea(work, n, ["tp", "p,bar=%g" % p_bar, "t,k=%g" % t_k])
            below = run_cea(work, n, ["tp", "p,bar=%g" % p_bar, "t,k=%g" % (t_k - 1.0)])
            tp_rows.append("%4g %6g %5g  %s  %s %s %s %s  %s" % (
                phi, t_k, p_bar, ys, at["rho"], at["h"], at["u"], at["cp"], below["x"]))
            u_r = float(at["u"].replace("e", "E")) * 1000.0 / R_CEA
            uv = run_cea(work, n, ["uv", "rho,kg/m**3=%s" % at["rho"], "u/r=%.8g" % u_r])
            t_uv = float(uv["t"])
            uv_below = run_cea(work, n, ["tp", "p,bar=%s" % uv["p"], "t,k=%g" % (t_uv - 1.0)])
            uv_rows.append("%4g  %s  %s %s  %s %s %s %s  %s" % (
                phi, ys, at["rho"], at["u"], uv["t"], uv["p"], uv["h"], uv["cp"], uv_below["x"]))
    head = ("# Equilibrium states of methane-air products from NASA CEA (Debian rocketcea %s),\n"
            "# made by tools/cea_fluid_state_reference.py. Reactant mass fractions CH4 O2 N2;\n"
            "# rho kg/m3, h and u kJ/kg, cp kJ/(kg K); x: mole fractions %s ('-' below 1e-15)\n"
            % (rocketcea.__version__, " ".join(PRODUCTS)))
    with open(os.path.join(DATA, "cea_fluid_state_tp.txt"), "w") as out:
        out.write(head)
        out.write("# phi T_K p_bar  y_CH4 y_O2 y_N2  rho h u cp  x at T - 1 K\n")
        out.writelines(r.rstrip() + "\n" for r in tp_rows)
    with open(os.path.join(DATA, "cea_fluid_state_uv.txt"), "w") as out:
        out.write(head)
        out.write("# phi  y_CH4 y_O2 y_N2  rho u  T_K p_bar h cp  x at T - 1 K and p\n")
        out.writelines(r.rstrip() + "\n" for r in uv_rows)
    print("wrote %d tp and %d uv cases" % (len(tp_rows), len(uv_rows)))


if __name__ == "__main__":
    main()
