#!/usr/bin/python3
"""Reference equilibrium compositions of combustion products from NASA CEA.

Writes tests/data/cea_equilibrium_tp.txt, the cases against which the Gibbs
minimisation of the property library is tested. Each case is a fuel burnt in
air (with or without argon) or in oxygen at an equivalence ratio, brought to
chemical equilibrium at a fixed temperature and pressure over exactly the
eleven species that the minimisation varies (CO2 H2O N2 O2 CO H2 H O OH NO N)
plus Ar and SO2, which only carry their element.

The reference program is NASA Glenn's CEA (McBride and Gordon, NASA RP-1311),
an independent implementation of the same problem, run through the Python
module rocketcea.py_cea of the Debian package `rocketcea` with the thermo.lib
it ships (NASA Glenn 9-coefficient data, the same coefficients as the
nasa9.json the tests' species set is made from; the script checks that).
The test command does not need CEA: the data file is committed.

To regenerate:
    apt-get install -y rocketcea
    /usr/bin/python3 tools/cea_equilibrium_reference.py

For each case a CEA deck is written

    problem tp
      p,bar=<p>
      t,k=<T>
    react
      name=mix wt=100 h,kj/mol=0 C <nC> H <nH> O <nO> N <nN> AR <nAr> S <nS>
    only CO2 H2O N2 O2 CO H2 H O OH NO N Ar SO2   (those with their elements present)
    output trace=1e-15
    end

where the element amounts are in mol per kg of the fuel-oxidiser mixture
(the enthalpy is immaterial at fixed T and P). CEA prints each equilibrium
mole fraction to 5 significant digits (4 below 1e-9 or so); those printed
digits are copied into the data file unchanged, in e-notation. A species
that CEA does not list (below the trace limit 1e-15, or without its element
in the mixture) is written as "-".

In the data file, n_O is the oxygen left after the sulfur is bound as SO2
(the total oxygen given to CEA minus 2 n_S), which is how the library's
equilibrium driver hands the element totals to the minimisation.
"""

import json
import os
import re
import shutil
import sys
import tempfile

import cea_deck

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tests", "data", "cea_equilibrium_tp.txt")
# The NASA Glenn data the library's tests use (checked against CEA's copy
# when present).
NASA9 = os.environ.get("NASA9_JSON", "/work/shared/data/nasa9.json")

SPECIES = ["CO2", "H2O", "N2", "O2", "CO", "H2", "H", "O", "OH", "NO", "N", "Ar", "SO2"]

# Atomic weights, kg/kmol (only used to express the amounts per kg).
W = {"C": 12.0107, "H": 1.00794, "O": 15.9994, "N": 14.0067, "Ar": 39.948, "S": 32.065}

# Fuels: atoms per molecule.
FUELS = {
    "C8H18": {"C": 8, "H": 18},
    "CH4": {"C": 1, "H": 4},
    "C3H8": {"C": 3, "H": 8},
    "H2": {"H": 2},
    "C12H23S0.02": {"C": 12, "H": 23, "S": 0.02},
}

# Oxidisers: mole fractions of O2, N2, Ar.
OXIDISERS = {
    "air": {"O2": 0.2095, "N2": 0.7809, "Ar": 0.0093},
    "airnoAr": {"O2": 0.21, "N2": 0.79},
    "O2": {"O2": 1.0},
}

# (fuel, oxidiser, equivalence ratio, T in K, p in bar)
CASES = [
    ("C8H18", "air", 0.6, 1600.0, 1.0),
    ("C8H18", "air", 0.8, 2200.0, 10.0),
    ("C8H18", "air", 0.95, 2000.0, 30.0),
    ("C8H18", "air", 1.0, 2500.0, 1.0),
    ("C8H18", "air", 1.0, 3500.0, 100.0),
    ("C8H18", "air", 1.1, 2800.0, 50.0),
    ("C8H18", "air", 1.3, 1600.0, 1.0),
    ("C8H18", "air", 1.3, 2400.0, 10.0),
    ("C8H18", "air", 1.6, 3000.0, 100.0),
    ("CH4", "air", 1.0, 1800.0, 1.0),
    ("CH4", "air", 0.5, 3500.0, 1.0),
    ("CH4", "O2", 0.7, 3000.0, 1.0),
    ("CH4", "O2", 1.0, 3500.0, 10.0),
    ("CH4", "O2", 1.4, 2400.0, 100.0),
    ("C3H8", "airnoAr", 0.9, 2200.0, 1.0),
    ("C3H8", "airnoAr", 1.2, 3200.0, 20.0),
    ("H2", "air", 0.5, 1600.0, 10.0),
    ("H2", "air", 1.0, 2500.0, 1.0),
    ("H2", "air", 2.0, 3000.0, 100.0),
    ("H2", "O2", 1.2, 3500.0, 1.0),
    ("C12H23S0.02", "air", 0.7, 2000.0, 50.0),
    ("C12H23S0.02", "air", 1.2, 2600.0, 5.0),
]


def element_amounts(fuel, oxidiser, phi):
    """Element amounts in mol per kg of mixture, rounded as given to CEA."""
    f = FUELS[fuel]
    ox = OXIDISERS[oxidiser]
    # Oxygen atoms per fuel molecule at phi = (2 nC + nH/2) / nO; sulfur
    # takes its own oxygen on top (it ends as SO2).
    o_atoms = (2 * f.get("C", 0) + f.get("H", 0) / 2) / phi + 2 * f.get("S", 0)
    ox_moles = o_atoms / (2 * ox["O2"])
    atoms = {
        "C": f.get("C", 0),
        "H": f.get("H", 0),
        "O": o_atoms,
        "N": 2 * ox.get("N2", 0) * ox_moles,
        "Ar": ox.get("Ar", 0) * ox_moles,
        "S": f.get("S", 0),
    }
    mass_kg = sum(atoms[e] * W[e] for e in atoms) / 1000.0
    return {e: float("%.7f" % (atoms[e] / mass_kg)) for e in atoms}


def check_same_data():
    """The thermo.inp of the CEA package holds the coefficients of nasa9.json."""
    import rocketcea
    if not os.path.exists(NASA9):
        print("note: %s not found, coefficients not compared" % NASA9)
        return
    inp = open(os.path.join(os.path.dirname(rocketcea.__file__), "thermo.inp")).read()
    data = {s["name"]: s for s in json.load(open(NASA9))["species"]}
    numbers = set(float(x.replace("D", "E")) for x in re.findall(r"-?\d\.\d{9}D[+-]\d\d", inp))
    for name in SPECIES:
        for rng in data[name]["ranges"][:2]:
            for c in rng["a"] + rng["b"]:
                if c != 0.0 and c not in numbers:
                    sys.exit("coefficient %r of %s differs from CEA's thermo.inp" % (c, name))


def run_cea(workdir, n, t_k, p_bar):
    formula = " ".join("%s %.7f" % (sym, n[e]) for e, sym in
                       [("C", "C"), ("H", "H"), ("O", "O"), ("N", "N"), ("Ar", "AR"), ("S", "S")]
                       if n[e] > 0)
    # CEA accepts in its list only species whose elements are in the mixture.
    only = " ".join(s for s in SPECIES
                    if all(n[e] > 0 for e in re.findall(r"[A-Z][a-z]?", s)))
    lines = [
        "problem tp",
        "  p,bar=%g" % p_bar,
        "  t,k=%g" % t_k,
        "react",
        "  name=mix wt=100 h,kj/mol=0 " + formula,
        "only " + only,
        "output trace=1e-15",
        "end",
    ]
    text = cea_deck.solve(workdir, lines)
    block = text.split("MOLE FRACTIONS", 1)[1].split("* THERMODYNAMIC PROPERTIES FITTED", 1)[0]
    found = {}
    for line in block.splitlines():
        if not line.strip():
            continue
        name = line[:16].strip().lstrip("*")
        value = line[16:].replace(" ", "")
        m = re.fullmatch(r"(\d\.\d+)([+-]\d+)", value)
        if not m:
            sys.exit("unexpected mole fraction line: %r" % line)
        found[name] = "%se%s" % (m.group(1), m.group(2))
    return found


def main():
    import rocketcea
    check_same_data()
    pkg = os.path.dirname(rocketcea.__file__)
    with tempfile.TemporaryDirectory() as work:
        for f in ("thermo.lib", "trans.lib", "f.inp"):
            shutil.copy(os.path.join(pkg, f), work)
        rows = []
        for fuel, ox, phi, t_k, p_bar in CASES:
            n = element_amounts(fuel, ox, phi)
            x = run_cea(work, n, t_k, p_bar)
            n_o_net = float("%.7f" % (n["O"] - 2 * n["S"]))
            label = "%s/%s_phi%g_%gK_%gbar" % (fuel, ox, phi, t_k, p_bar)
            rows.append("%-34s %6g %6g %10.7f %10.7f %10.7f %10.7f %10.7f %10.7f  %s" % (
                label, p_bar, t_k, n["C"], n["H"], n_o_net, n["N"], n["Ar"], n["S"],
                " ".join("%-10s" % x.get(s, "-") for s in SPECIES)))
    with open(OUT, "w") as out:
        out.write("# Equilibrium mole fractions at fixed T and p from NASA CEA (Debian rocketcea\n")
        out.write("# %s), made by tools/cea_equilibrium_reference.py.\n" % rocketcea.__version__)
        out.write("# Element amounts in mol/kg; n_O excludes the oxygen bound in SO2.\n")
        out.write("# Mole fractions as CEA printed them; '-' is below 1e-15 or not in the system.\n")
        out.write("# case p_bar T_K n_C n_H n_O n_N n_Ar n_S  x: " + " ".join(SPECIES) + "\n")
        for r in rows:
            out.write(r.rstrip() + "\n")
    print("wrote %d cases to %s" % (len(rows), os.path.normpath(OUT)))


if __name__ == "__main__":
    main()
