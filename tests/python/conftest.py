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

def _bench_root():
    """VORN_BENCH_ROOT, or a shared/bench next to the repository or its worktree folder."""
    if "VORN_BENCH_ROOT" in os.environ:
        return pathlib.Path(os.environ["VORN_BENCH_ROOT"])
    for up in (ROOT.parent, ROOT.parent.parent):
        if (up / "shared" / "bench").is_dir():
            return up / "shared" / "bench"
    return ROOT.parent / "shared" / "bench"


BENCH = _bench_root()


def bench_files():
    """Every PLA file of the shared benchmark folders (none when they are absent)."""
    return sorted(BENCH.glob("**/*.pla")) if BENCH.is_dir() else []


@pytest.fixture
def adder_text():
    return (ROOT / "examples" / "adder.pla").read_text()
