"""Scenario studies: one base project, a table of variants, the statistics
wanted of each, run in process, on a local process pool or on a Dask
cluster, collected into one tidy table.

The scenario table has one row per scenario: a ``name`` column, one column
per JSON pointer of the project's JSON form (``/sources/0/infiltration``)
holding a value or a distribution text, and optionally ``iterations`` and
``seed``. An empty cell leaves the base project's value. Every scenario
runs with its own seed (the ``seed`` column, else ``seed`` of ``run``), so
its numbers are the same whichever executor runs it.

Outputs name statistics of result vectors: ``"exceedance"`` (the
probability of exceeding the standard), ``"mean"``, ``"sd"``, ``"min"``,
``"max"`` and ``"p5"`` ... ``"p95"``, each of the receptors' totals
(``totalReceptorConcentration``) at every time slice; ``"KIND:STAT"`` takes
another kind of result, e.g. ``"dilutedConcentration:p95"``.
"""

import csv
import math

from . import _varnex

STATISTICS = ("exceedance", "mean", "sd", "min", "max",
              "p5", "p10", "p25", "p50", "p75", "p90", "p95")
DEFAULT_KIND = "totalReceptorConcentration"
COLUMNS = ("scenario", "row", "kind", "source", "contaminant", "pathway", "receptor", "time",
           "statistic", "value", "error")


class StudyError(ValueError):
    """A scenario table or an output that cannot be used at all."""


def _parse_outputs(outputs):
    if isinstance(outputs, str):
        outputs = [part.strip() for part in outputs.split(",") if part.strip()]
    parsed = []
    for output in outputs:
        kind, _, statistic = output.rpartition(":")
        kind = kind or DEFAULT_KIND
        if statistic not in STATISTICS:
            raise StudyError(f"output {output!r}: the statistic must be one of "
                             + ", ".join(STATISTICS))
        parsed.append((kind, statistic))
    if not parsed:
        raise StudyError("name at least one output, e.g. 'exceedance' or 'p95'")
    return parsed


def _blank(value):
    return value is None or (isinstance(value, float) and math.isnan(value)) or value == ""


def _read_table(scenarios):
    """Rows as dicts (with their 1-based row number in the table) from a CSV
    file, a pandas DataFrame or a list of dicts."""
    if isinstance(scenarios, str):
        with open(scenarios, newline="", encoding="utf-8") as handle:
            rows = list(csv.DictReader(handle))
    elif hasattr(scenarios, "to_dict"):
        rows = scenarios.to_dict("records")
    else:
        rows = [dict(row) for row in scenarios]
    if not rows:
        raise StudyError("the scenario table has no rows")
    columns = set().union(*(row.keys() for row in rows))
    if "name" not in columns:
        raise StudyError("the scenario table has no 'name' column (one name per scenario)")
    unknown = [c for c in columns if c not in ("name", "iterations", "seed")
               and not str(c).startswith("/")]
    if unknown:
        raise StudyError("the scenario table's columns must be 'name', 'iterations', 'seed' or "
                         "JSON pointers starting with '/': " + ", ".join(sorted(map(str, unknown))))
    return [(number, row) for number, row in enumerate(rows, start=2 if isinstance(scenarios, str)
                                                         else 1)]


def _number(text, what):
    try:
        value = float(text)
    except (TypeError, ValueError):
        raise ValueError(f"{what} must be a whole number, not {text!r}")
    if value != int(value):
        raise ValueError(f"{what} must be a whole number, not {text!r}")
    return int(value)


def _typed(text):
    """A CSV cell as the value it stands for: numbers stay numbers for
    settings; texts (distributions) stay texts."""
    if not isinstance(text, str):
        return text
    lowered = text.strip().lower()
    if lowered in ("true", "false"):
        return lowered == "true"
    try:
        number = float(text)
    except ValueError:
        return text.strip()
    return int(number) if number.is_integer() and "." not in text and "e" not in lowered else number


def run_scenario(base_json, number, row, outputs, seed=1, threads=1):
    """Runs one scenario; returns its records (one per output value), or a
    single record with the error that stopped it. Module-level and given
    only texts and numbers, so a worker process or a Dask worker can run
    it."""
    name = str(row.get("name", ""))
    records = []

    def failed(message):
        record = dict.fromkeys(COLUMNS)
        record.update(scenario=name, row=number, error=message)
        return [record]

    try:
        project = _varnex.Project.from_json(base_json)
    except ValueError as error:
        return failed(f"the base project: {error}")
    for column, value in row.items():
        if not str(column).startswith("/") or _blank(value):
            continue
        try:
            project.set(column, _typed(value))
        except (ValueError, TypeError) as error:
            return failed(f"scenario {name!r} (row {number}), column {column}: {error}")
    try:
        iterations = None if _blank(row.get("iterations")) else _number(row["iterations"],
                                                                        "iterations")
        own_seed = seed if _blank(row.get("seed")) else _number(row["seed"], "seed")
        results = project.run(iterations=iterations, seed=own_seed, threads=threads)
    except (ValueError, RuntimeError) as error:
        return failed(f"scenario {name!r} (row {number}): {error}")
    for record in results.statistics():
        for kind, statistic in outputs:
            if record["kind"] != kind:
                continue
            if statistic == "exceedance":
                value = record["exceedance_probability"]
                if value is None:
                    continue
            elif statistic.startswith("p"):
                value = record["percentiles"][int(statistic[1:])]
            else:
                value = record[statistic]
            records.append({"scenario": name, "row": number, "kind": kind,
                            "source": record["source"], "contaminant": record["contaminant"],
                            "pathway": record["pathway"], "receptor": record["receptor"],
                            "time": record["time"], "statistic": statistic, "value": value,
                            "error": None})
    return records


def _as_table(records):
    try:
        import pandas
    except ImportError:
        return records
    return pandas.DataFrame(records, columns=list(COLUMNS))


def run(base_project, scenarios, outputs, executor=None, seed=1, threads=None):
    """Runs every scenario and returns one tidy table (a pandas DataFrame
    when pandas is there, else a list of dicts): one row per scenario and
    output value, with the scenario's name and table row, the result's
    context, the statistic and its value; a scenario that failed has one
    row with its error instead, and the others still run.

    base_project: a varnex.Project or the path of one.
    executor: None (in this process, one scenario after another, each on
    ``threads`` threads, default every core), an int N (a local pool of N
    processes, one thread each), or a dask.distributed.Client (one
    scenario per task; threads default 1).
    """
    if isinstance(base_project, str):
        base_project = _varnex.Project.load(base_project)
    base_json = base_project.to_json()
    parsed = _parse_outputs(outputs)
    rows = _read_table(scenarios)
    if executor is None:
        chunks = [run_scenario(base_json, number, row, parsed, seed, threads or 0)
                  for number, row in rows]
    elif isinstance(executor, int):
        import concurrent.futures
        import multiprocessing

        # Fresh interpreters: the engine keeps program-wide values, so each
        # worker process has its own.
        context = multiprocessing.get_context("spawn")
        with concurrent.futures.ProcessPoolExecutor(max_workers=executor,
                                                    mp_context=context) as pool:
            futures = [pool.submit(run_scenario, base_json, number, row, parsed, seed,
                                   threads or 1) for number, row in rows]
            chunks = [future.result() for future in futures]
    elif hasattr(executor, "submit") and hasattr(executor, "gather"):
        futures = [executor.submit(run_scenario, base_json, number, row, parsed, seed,
                                   threads or 1, pure=False) for number, row in rows]
        chunks = executor.gather(futures)
    else:
        raise StudyError("executor must be None, a number of processes or a Dask client")
    return _as_table([record for chunk in chunks for record in chunk])
