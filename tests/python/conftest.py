"""Where the tests find the package and the examples: VARNEX_PYTHONPATH
(the build tree's python folder, set by CTest) comes first, so the tests
import the module just built; without it, the installed package."""

import os
import sys

import pytest

if os.environ.get("VARNEX_PYTHONPATH"):
    sys.path.insert(0, os.environ["VARNEX_PYTHONPATH"])

SOURCE = os.environ.get("VARNEX_SOURCE_DIR",
                        os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))


@pytest.fixture
def example():
    """The path of a bundled example project."""
    return lambda name: os.path.join(SOURCE, "examples", name)


@pytest.fixture
def cli():
    """The command-line tool beside the module (build tree) or installed."""
    return os.environ.get("VARNEX_CLI", "varnex-cli")
