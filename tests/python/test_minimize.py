"""minimize: valid covers (by verify and by evaluation on every minterm), repeatable seeded runs,
time limits, stops from other threads, errors, and the same covers as the program."""

import _thread
import itertools
import json
import os
import signal
import subprocess
import threading
import time

import numpy as np
import pytest

import vorn
from conftest import ROOT


def random_function(rng, inputs, outputs, type_="fr", terms=None):
    """A consistent function over distinct minterms: '1' and '0' (fr), '1' and '-' (fd)."""
    count = terms or min(2 ** inputs // 2, 40)
    points = rng.choice(2 ** inputs, size=count, replace=False)
    chars = "10" if type_ == "fr" else "1-"
    rows = []
    for p in points:
        bits = format(int(p), f"0{inputs}b")
        rows.append((bits, "".join(rng.choice(list(chars + "~")) for _ in range(outputs))))
    return vorn.Function(inputs, outputs, rows, type=type_)


def all_minterms(inputs):
    return np.array(list(itertools.product([False, True], repeat=inputs)), dtype=bool)


def cube_masks(cubes, X):
    """samples x cubes: does each cube contain each sample (plain NumPy, no library code)."""
    text = np.array([list(c) for c in cubes]).reshape(len(cubes), X.shape[1])
    care = text != "-"
    want = text == "1"
    return ((X[:, None, :] == want[None, :, :]) | ~care[None, :, :]).all(axis=2)


def sets_of(f, X):
    """On-set and don't-care set of each output of f at the samples X (samples x outputs)."""
    inside = cube_masks([t[0] for t in f.terms], X)
    outs = np.array([list(t[1]) for t in f.terms]).reshape(len(f.terms), f.outputs)
    on = (inside[:, :, None] & (outs == "1")[None]).any(axis=1)
    off = (inside[:, :, None] & (outs == "0")[None]).any(axis=1)
    dc = (inside[:, :, None] & (outs == "-")[None]).any(axis=1)
    if f.type == "fr":
        return on, ~off
    if f.type == "fd":
        return on, on | dc
    raise AssertionError(f.type)


def check_cover_on_every_minterm(source, cover):
    X = all_minterms(source.inputs)
    on, allowed = sets_of(source, X)
    value = (cube_masks([t[0] for t in cover.terms], X)[:, :, None]
             & (np.array([list(t[1]) for t in cover.terms]).reshape(len(cover.terms), cover.outputs) == "1")[None]
             ).any(axis=1) if cover.terms else np.zeros_like(on)
    assert (value[on]).all(), "an on-set minterm is not covered"
    assert not (value & ~allowed).any(), "the cover holds a minterm outside on-set and don't-care set"


@pytest.mark.parametrize("type_", ["fr", "fd"])
@pytest.mark.parametrize("criterion", ["literals", "terms", "gates"])
def test_covers_are_valid_on_every_minterm(type_, criterion):
    rng = np.random.default_rng(hash((type_, criterion)) % 2**32)
    for inputs, outputs in [(1, 1), (3, 2), (5, 3), (7, 1), (8, 4)]:
        f = random_function(rng, inputs, outputs, type_)
        for refine in (False, True):
            r = vorn.minimize(f, criterion=criterion, iterations=3, seed=int(rng.integers(1000)), refine=refine)
            assert vorn.verify(f, r), vorn.verify(f, r).fault
            check_cover_on_every_minterm(f, r.cover)
            assert r.cover.type == "fd" and r.cover.inputs == f.inputs and r.cover.outputs == f.outputs
            assert (r.terms, r.literals) == (len(r.cover), r.cover.figures()["literals"])
            assert r.cost == r.cover.figures(criterion)["cost"]


def test_result_figures_and_statistics(adder_text):
    f = vorn.read_pla(adder_text)
    r = vorn.minimize(f, criterion="terms", iterations=4, seed=9)
    assert (r.seed, r.iterations, r.interrupted) == (9, 4, False)
    assert r.cost == r.terms == len(r.cover)
    assert r.improvements and r.improvements[-1]["cost"] == r.cost
    assert r.stats["options"]["criterion"] == "t" and r.stats["options"]["stopping"]["iterations"] == 4
    assert r.stats["source"] == {"path": None, "inputs": 4, "outputs": 3, "terms": 16, "type": "fr"}
    assert set(r.stats["result"]) == {"terms", "literals", "outputCost", "gates", "gateEquivalents", "cost"}
    json.dumps(r.stats)
    assert r.cover.output_labels == f.output_labels
    # A run given no limit makes one iteration.
    assert vorn.minimize(f, seed=1).iterations == 1


def test_seeded_runs_give_the_same_cover():
    f = random_function(np.random.default_rng(3), 9, 3, terms=200)
    for jobs in (1, 2):
        first = vorn.minimize(f, iterations=5, seed=11, jobs=jobs)
        second = vorn.minimize(f, iterations=5, seed=11, jobs=jobs)
        assert first.cover.to_pla() == second.cover.to_pla()
        course = [[(i["iteration"], i["cost"], i["refined"]) for i in r.improvements] for r in (first, second)]
        assert course[0] == course[1]


@pytest.fixture(scope="module")
def large():
    """A function on which one iteration takes a while: 48 inputs, 3,000 sampled minterms."""
    rng = np.random.default_rng(1)
    X = rng.random((3000, 48)) < 0.5
    y = (X[:, :16].sum(axis=1) > 8) ^ X[:, 40]
    return vorn.from_samples(X, y)


def test_seconds_bound_the_run(large):
    start = time.monotonic()
    r = vorn.minimize(large, seconds=0.3, refine=True, seed=2)
    assert time.monotonic() - start < 30
    assert r.stats["options"]["stopping"] == {"seconds": 0.3, "iterations": None, "interval": None,
                                              "quality": None}
    assert vorn.verify(large, r)


def test_a_stop_event_set_from_another_thread_ends_the_run(large):
    stop = threading.Event()
    timer = threading.Timer(0.3, stop.set)
    timer.start()
    r = vorn.minimize(large, seconds=600, stop=stop, seed=4)
    timer.join()
    assert r.interrupted and vorn.verify(large, r)
    assert r.seconds < 60


@pytest.fixture
def python_handles_sigint():
    """Python's own Ctrl-C handler for the test: a process started in the background by a shell
    without job control inherits SIGINT ignored, and then no KeyboardInterrupt ever comes."""
    before = signal.signal(signal.SIGINT, signal.default_int_handler)
    yield
    signal.signal(signal.SIGINT, before)


def test_keyboard_interrupt_ends_the_run_with_its_best_cover(large, python_handles_sigint):
    timer = threading.Timer(0.3, _thread.interrupt_main)
    timer.start()
    r = vorn.minimize(large, seconds=600, seed=5, jobs=2)
    timer.join()
    assert r.interrupted and vorn.verify(large, r)
    assert r.seconds < 60


def test_an_exception_of_the_stop_request_is_raised_after_the_run(large):
    def stop():
        raise LookupError("asked too often")

    with pytest.raises(LookupError, match="asked too often"):
        vorn.minimize(large, seconds=600, stop=stop)


def test_the_interpreter_runs_other_threads_during_a_run(large):
    ticks = []
    done = threading.Event()

    def count():
        while not done.is_set():
            ticks.append(1)
            time.sleep(0.001)

    counter = threading.Thread(target=count)
    counter.start()
    try:
        vorn.minimize(large, seconds=0.5, refine=False)
    finally:
        done.set()
        counter.join()
    assert len(ticks) > 20


def test_errors_carry_the_program_message():
    clash = vorn.Function(2, 1, [("1-", "1"), ("11", "0")])
    with pytest.raises(vorn.Error) as caught:
        vorn.minimize(clash)
    assert str(caught.value) == "Cannot minimize an inconsistent function: term 1 (1) and term 2 (0) intersect at output y0"
    f = vorn.Function(2, 1, [("1-", "1")])
    with pytest.raises(ValueError, match="Unknown criterion 'cubes'"):
        vorn.minimize(f, criterion="cubes")
    with pytest.raises(vorn.Error, match="Invalid iteration limit 0"):
        vorn.minimize(f, iterations=0)
    with pytest.raises(vorn.Error, match="Invalid job count 0"):
        vorn.minimize(f, jobs=0)
    with pytest.raises(ValueError, match="seed must be from 0 to 4294967295"):
        vorn.minimize(f, seed=2**32)
    with pytest.raises(TypeError, match="needs a vorn.Function"):
        vorn.minimize(".i 1\n.o 1\n1 1\n.e\n")


PROGRAM = ROOT / os.environ.get("VORN_BUILD", "build") / "vorn"


@pytest.mark.skipif(not PROGRAM.exists(), reason="the program is not built")
@pytest.mark.parametrize("options", [("-Si6",), ("-Si3", "-refine", "-Qt")])
def test_same_cover_as_the_program(tmp_path, adder_text, options):
    source = tmp_path / "f.pla"
    f = random_function(np.random.default_rng(4), 8, 3, terms=120)
    source.write_text(f.to_pla())
    written = tmp_path / "g.pla"
    subprocess.run([str(PROGRAM), "-q", "-seed7", *options, str(source), str(written)], check=True,
                   stderr=subprocess.DEVNULL)
    r = vorn.minimize(f, seed=7, iterations=int(options[0][3:]), refine="-refine" in options,
                      criterion="terms" if "-Qt" in options else "literals")
    assert r.cover.to_pla() == written.read_text()
