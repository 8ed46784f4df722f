"""Shared fixtures of the module's tests: the package from the build folder, the bench files."""

import os
import pathlib
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]

try:
    import vorn  # noqa: F401  (an installed module, or PYTHONPATH set by make test)
except ImportError:
    sys.path.insert(0, str(ROOT / os.environ.get("VORN_BUILD", "build") / "python"))

BENCH = pathlib.Path(os.environ.get("VORN_BENCH_ROOT", ROOT.parent / "shared" / "bench"))


def bench_files():
    """Every PLA file of the shared benchmark folders (none when they are absent)."""
    return sorted(BENCH.glob("**/*.pla")) if BENCH.is_dir() else []


@pytest.fixture
def adder_text():
    return (ROOT / "examples" / "adder.pla").read_text()
