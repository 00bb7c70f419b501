"""Projects from Python: reading both forms, editing by JSON pointer with
the texts the forms take (and refusals that name the pointer and leave the
project as it was), validation as the command line reports it, saving."""

import json
import os

import pytest
import varnex


def test_both_forms_read_and_save_alike(example, tmp_path):
    project = varnex.Project.load(example("level3-gasworks-chalk.json"))
    assert project.iterations == 1001
    assert project.title.startswith("Former Wendbury gasworks")
    # The project file written and read back is the same project.
    project.save(str(tmp_path / "gasworks.vnx"))
    again = varnex.Project.load(str(tmp_path / "gasworks.vnx"))
    assert json.loads(again.to_json()) == json.loads(project.to_json())
    project.save(str(tmp_path / "gasworks.json"))
    assert json.load(open(tmp_path / "gasworks.json")) == json.loads(project.to_json())


def test_editing_by_pointer(example):
    project = varnex.Project.load(example("level3-gasworks-chalk.json"))
    project.set("/sources/0/infiltration", "TRIANGULAR(100,250,400)")
    assert project.get("/sources/0/infiltration") == "TRIANGULAR(100,250,400)"
    # A number for an input is its single value.
    project.set("/aquifer/hydraulicGradient", 0.002)
    assert project.get("/aquifer/hydraulicGradient") == "SINGLE(0.002)"
    project.set("/sources/0/name", "Tar well (east)")
    assert project.get("/sources/0/name") == "Tar well (east)"


@pytest.mark.parametrize("pointer, value, error, words", [
    ("/aquifer/hydraulicConductivity", "LOGUNIFORM(5e-4,5e-5)", ValueError,
     "Minimum greater than maximum"),
    ("/aquifer/hydraulicConductivity", "TRIANGULAR(1,2", ValueError, "hydraulicConductivity"),
    ("/sources/7/infiltration", "250", ValueError, "names nothing"),
    ("sources/0/name", "x", ValueError, "not a JSON pointer"),
    ("/sources/0/name", 3, TypeError, "takes a text"),
    ("/iterations", 2.5, TypeError, "whole number"),
    ("/sources/0/vertices", 1, TypeError, "list or an object"),
    ("/processes/biodegradationAquifer", 1, TypeError, "True or False"),
])
def test_refusals_name_the_pointer_and_change_nothing(example, pointer, value, error, words):
    project = varnex.Project.load(example("level3-gasworks-chalk.json"))
    before = project.to_json()
    with pytest.raises(error) as raised:
        project.set(pointer, value)
    assert words in str(raised.value)
    assert project.to_json() == before


def test_validate_lists_every_problem_as_the_command_line(example, cli):
    import subprocess

    path = example("invalid-level3.json")
    problems = varnex.Project.load(path).validate()
    assert problems, "the invalid example has problems"
    assert {"text", "entity", "field", "source", "index", "pathway"} <= set(problems[0])
    report = subprocess.run([cli, "validate", path], capture_output=True, text=True)
    assert report.returncode == 1
    for problem in problems:
        assert problem["text"] in report.stdout
    assert varnex.Project.load(example("level3-gasworks-chalk.json")).validate() == []


def test_unreadable_files_say_why(tmp_path):
    with pytest.raises(ValueError) as raised:
        varnex.Project.load(str(tmp_path / "missing.json"))
    assert "missing.json" in str(raised.value)
    (tmp_path / "broken.vnx").write_bytes(b"not a project")
    with pytest.raises(ValueError):
        varnex.Project.load(str(tmp_path / "broken.vnx"))
    with pytest.raises(ValueError) as raised:
        varnex.Project.from_json('{"format": "something else"}')
    assert "not a project" in str(raised.value)
