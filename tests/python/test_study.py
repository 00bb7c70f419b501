"""Scenario studies: the same table from every executor (in process, a
process pool, a Dask cluster of worker processes), each scenario's numbers
those of a run of its own, and bad tables reported by scenario, row and
column while the other scenarios still run."""

import pytest
import varnex
import varnex.study

pandas = pytest.importorskip("pandas")

SCENARIOS = [
    {"name": "as built", "iterations": 40, "seed": 3},
    {"name": "half the waste", "/sources/0/inventory/0/concentration": "SINGLE(250)",
     "iterations": 40, "seed": 3},
    {"name": "capped", "/sources/0/infiltration": "UNIFORM(0.01,0.05)", "iterations": 40},
]


def landfill(example):
    return varnex.Project.load(example("level3a-landfill.json"))


def test_a_scenario_is_its_own_run(example):
    table = varnex.study.run(landfill(example), SCENARIOS[:1], ["exceedance", "p95"])
    results = landfill(example).run(iterations=40, seed=3)
    totals = [r for r in results.statistics() if r["kind"] == "totalReceptorConcentration"]
    p95 = table[table.statistic == "p95"]
    assert list(p95.value) == [r["percentiles"][95] for r in totals]
    exceedance = table[table.statistic == "exceedance"]
    assert list(exceedance.value) == [r["exceedance_probability"] for r in totals
                                      if r["exceedance_probability"] is not None]
    assert table.error.isna().all()


def test_every_executor_gives_the_same_table(example, tmp_path):
    distributed = pytest.importorskip("distributed")
    frame = pandas.DataFrame(SCENARIOS)
    frame.to_csv(tmp_path / "scenarios.csv", index=False)
    outputs = ["exceedance", "p95", "dilutedConcentration:mean"]
    here = varnex.study.run(landfill(example), frame, outputs)
    from_csv = varnex.study.run(landfill(example), str(tmp_path / "scenarios.csv"), outputs)
    pool = varnex.study.run(landfill(example), frame, outputs, executor=2)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        dask = varnex.study.run(landfill(example), frame, outputs, executor=client)
    assert len(here) > 0 and set(here.scenario) == {s["name"] for s in SCENARIOS}
    columns = ["scenario", "kind", "receptor", "contaminant", "time", "statistic", "value"]
    for other in (pool, dask):
        pandas.testing.assert_frame_equal(here[columns].reset_index(drop=True),
                                          other[columns].reset_index(drop=True))
    # The CSV's rows count from the header line.
    pandas.testing.assert_frame_equal(here[columns], from_csv[columns])
    assert set(from_csv.row) == {2, 3, 4}
    # A changed input changes the numbers: the same seed, another waste.
    p95 = here[here.statistic == "p95"].set_index(["scenario", "receptor", "contaminant", "time"])
    assert (p95.loc["as built"].value != p95.loc["half the waste"].value).any()


def test_bad_rows_are_named_and_the_others_run(example):
    rows = [
        {"name": "fine", "iterations": 10},
        {"name": "broken text", "/sources/0/infiltration": "TRIANGULAR(1,2", "iterations": 10},
        {"name": "no such input", "/sources/9/infiltration": "SINGLE(1)", "iterations": 10},
        {"name": "bad iterations", "iterations": "many"},
    ]
    table = varnex.study.run(landfill(example), rows, ["p95"])
    errors = table[table.error.notna()].set_index("scenario").error
    assert "scenario 'broken text' (row 2), column /sources/0/infiltration" in errors["broken text"]
    assert "row 3" in errors["no such input"] and "names nothing" in errors["no such input"]
    assert "iterations must be a whole number" in errors["bad iterations"]
    assert (table[table.scenario == "fine"].error.isna()).all()
    assert len(table[table.scenario == "fine"]) > 0


@pytest.mark.parametrize("scenarios, outputs, words", [
    ([{"title": "x"}], ["p95"], "no 'name' column"),
    ([{"name": "a", "sources/0/x": 1}], ["p95"], "JSON pointers starting with '/'"),
    ([], ["p95"], "no rows"),
    ([{"name": "a"}], ["p96"], "the statistic must be one of"),
    ([{"name": "a"}], [], "at least one output"),
])
def test_unusable_tables_and_outputs(example, scenarios, outputs, words):
    with pytest.raises(varnex.study.StudyError, match=words):
        varnex.study.run(landfill(example), scenarios, outputs)
