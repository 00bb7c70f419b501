"""The example scripts and the documentation's examples run as shown."""

import doctest
import os
import subprocess
import sys

from conftest import SOURCE


def test_remediation_study_prints_its_table_and_draws_its_figure(tmp_path):
    figure = tmp_path / "remediation.png"
    script = os.path.join(SOURCE, "examples", "python", "remediation_study.py")
    out = subprocess.run([sys.executable, script, str(figure), "--iterations", "101"],
                         capture_output=True, text=True, check=True,
                         env=dict(os.environ, PYTHONPATH=os.pathsep.join(p for p in sys.path if p)))
    lines = out.stdout.splitlines()
    assert lines[0] == "P(benzene > 0.01 mg/l) after 50 years, 101 iterations"
    assert [line.split()[0] for line in lines[3:7]] == ["as", "excavate", "excavate", "cover"]
    # Less source, less risk: at the borehole the options are no worse than
    # the site as it is.
    borehole = [float(line.split()[-3]) for line in lines[3:7]]
    assert all(p <= borehole[0] for p in borehole[1:])
    assert figure.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"


def test_the_python_guide_runs_as_written(monkeypatch, tmp_path):
    monkeypatch.chdir(tmp_path)
    guide = os.path.join(SOURCE, "docs", "python.md")
    failures, tried = doctest.testfile(guide, module_relative=False,
                                       globs={"EXAMPLES": os.path.join(SOURCE, "examples")},
                                       optionflags=doctest.ELLIPSIS | doctest.NORMALIZE_WHITESPACE)
    assert tried > 20
    assert failures == 0
