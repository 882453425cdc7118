"""Runs one NASA CEA input deck through rocketcea.py_cea (Debian package
`rocketcea`) and returns CEA's printed output; shared by the reference-data
scripts of this folder."""
import os
import sys


def solve(workdir, lines):
    """Solves the deck `lines` in workdir; stops the script when CEA reports a
    warning or an error or prints no mole fractions."""
    import rocketcea.py_cea as py_cea
    for i, line in enumerate(lines, 1):
        py_cea.setinpline(i, line)
    for i in range(len(lines) + 1, len(lines) + 20):
        py_cea.setinpline(i, "   ")
    out_path = os.path.join(workdir, "f.out")
    if os.path.exists(out_path):
        os.remove(out_path)
    py_cea.py_cea(workdir + "/ ", "f.inp ", 1, 1)
    text = open(out_path).read()
    if "WARNING" in text or "ERROR" in text or "MOLE FRACTIONS" not in text:
        sys.exit("CEA did not solve case:\n" + "\n".join(lines) + "\n" + text)
    return text
