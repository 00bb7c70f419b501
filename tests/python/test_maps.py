"""Maps from Python: the probability map at a receptor repeats the run's
statistics of that receptor, the arrays have the grid's shape, and the
central-value plume is the command line's."""

import subprocess

import numpy
import pytest
import varnex


def test_probability_map_at_a_receptor_is_the_runs(example):
    results = varnex.Project.load(example("level3-gasworks-chalk.json")).run(
        iterations=101, seed=5, threads=2)
    # The abstraction borehole stands at (190, -342).
    m = results.probability_map("Benzene", time=50, nodes=(3, 2), area=(190, -342, 30, 20),
                                percentiles=[5, 50, 95])
    assert m["mean"].shape == (2, 3) and m["exceedance"].shape == (2, 3)
    numpy.testing.assert_array_equal(m["x"], [190, 200, 210])
    numpy.testing.assert_array_equal(m["y"], [-342, -352])
    row = next(r for r in results.statistics()
               if r["kind"] == "totalReceptorConcentration" and r["receptor"] == "Abstraction borehole"
               and r["contaminant"] == "Benzene" and r["time"] == 50)
    assert m["mean"][0, 0] == row["mean"]
    assert m["percentiles"][95][0, 0] == row["percentiles"][95]
    assert m["exceedance"][0, 0] == row["exceedance_probability"]
    assert m["standard"] == 0.01 and m["iterations"] == 101


def test_map_refusals(example):
    results = varnex.Project.load(example("level3-gasworks-chalk.json")).run(iterations=11, seed=1)
    with pytest.raises(ValueError, match="not one of the project's time slices"):
        results.probability_map("Benzene", time=37, spacing=100)
    with pytest.raises(ValueError, match="either spacing or nodes"):
        results.probability_map("Benzene", time=50)
    with pytest.raises(ValueError, match="no contaminant named"):
        results.probability_map("Benzol", time=50, spacing=100)


def test_central_plume_is_the_command_lines(example, cli):
    path = example("level3-gasworks-chalk.json")
    plume = varnex.Project.load(path).plume("Benzene", time=100, spacing=50,
                                            area=(-100, 100, 500, 400))
    csv = subprocess.run([cli, "plume", path, "--contaminant", "Benzene", "--time", "100",
                          "--spacing", "50", "--area", "-100,100,500,400", "--quiet"],
                         capture_output=True, text=True, check=True).stdout.splitlines()[1:]
    assert plume["concentration"].shape == (8, 10)
    for line in csv:
        x, y, c, _ = line.split(",")
        column = list(plume["x"]).index(float(x))
        row = list(plume["y"]).index(float(y))
        assert plume["concentration"][row, column] == float(c)
