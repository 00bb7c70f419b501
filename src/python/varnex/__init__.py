"""Varnex: probabilistic assessment of the risk that contaminants in land
reach groundwater and a receptor downstream, in-process.

    import varnex
    project = varnex.Project.load("examples/level3-gasworks-chalk.json")
    project.set("/sources/0/infiltration", "TRIANGULAR(100,250,400)")
    results = project.run(iterations=1001, seed=1)
    table = results.statistics_frame()        # with pandas
    benzene = results.probability_map("Benzene", time=50, spacing=20)
"""

import os as _os

from . import _varnex
from ._varnex import Project, Results


def _find_data_files():
    # Installed, the package is PREFIX/lib/python3/dist-packages/varnex and
    # the programs' data files are in PREFIX/lib/varnex/Info; VARNEX_DATA_DIR
    # names another folder holding an Info folder.
    here = _os.path.dirname(_os.path.abspath(__file__))
    candidates = [_os.environ.get("VARNEX_DATA_DIR", ""),
                  _os.path.join(here, _os.pardir, _os.pardir, _os.pardir, "varnex")]
    for candidate in candidates:
        if candidate and _os.path.isfile(_os.path.join(candidate, "Info", "langs.txt")):
            _varnex._set_data_directory(_os.path.normpath(candidate))
            return


_find_data_files()

__all__ = ["Project", "Results", "statistics_frame"]


def statistics_frame(results):
    """The statistics of every result vector as a pandas DataFrame, one row
    per vector; the percentiles as columns p5 ... p95."""
    import pandas

    rows = []
    for record in results.statistics():
        row = {key: value for key, value in record.items()
               if key not in ("percentiles", "percentile_ci95")}
        for level, value in record["percentiles"].items():
            row[f"p{level}"] = value
        rows.append(row)
    return pandas.DataFrame(rows)


Results.statistics_frame = statistics_frame
