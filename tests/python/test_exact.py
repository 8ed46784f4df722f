"""minimize(exact=True): covers of least cost checked against a search over all implicants written here in
plain Python, the figures of the proof, and a run stopped before its proof."""

import itertools

import numpy as np
import pytest

import vorn
from test_minimize import check_cover_on_every_minterm, random_function


def truth_tables(f):
    """Per output, the on-set and the set a cover may hold, as sets of minterm numbers."""
    on = [set() for _ in range(f.outputs)]
    off = [set() for _ in range(f.outputs)]
    dc = [set() for _ in range(f.outputs)]
    for inputs, outputs in f.terms:
        points = [int("".join(bits), 2) for bits in itertools.product(*[("0", "1") if c == "-" else (c,)
                                                                        for c in inputs])]
        for j, c in enumerate(outputs):
            {"1": on, "0": off, "-": dc}.get(c, [set()] * f.outputs)[j].update(points)
    everything = set(range(2 ** f.inputs))
    if f.type == "fr":
        return on, [everything - off[j] for j in range(f.outputs)]
    assert f.type == "fd"
    return on, [on[j] | dc[j] for j in range(f.outputs)]


def implicants(f):
    """Every cube over the inputs with its minterms and literal count, and the outputs it may feed."""
    on, allowed = truth_tables(f)
    out = []
    for chars in itertools.product("01-", repeat=f.inputs):
        points = frozenset(int("".join(bits), 2)
                           for bits in itertools.product(*[("0", "1") if c == "-" else (c,) for c in chars]))
        feeds = frozenset(j for j in range(f.outputs) if points <= allowed[j] and points & on[j])
        if feeds:
            out.append((points, sum(c != "-" for c in chars), feeds))
    return on, out


def least_cost(on, terms, cost):
    """The cheapest set of terms holding every on-set point, by a plain depth-first search: take an open
    point, try every term that holds it.  `terms` are (minterms, literals, outputs)."""
    points = frozenset((m, j) for j in range(len(on)) for m in on[j])
    holds = [frozenset((m, j) for m in t[0] for j in t[2]) for t in terms]
    best = [sum(cost(t) for t in terms) + 1]

    def search(open_points, spent):
        if spent >= best[0]:
            return
        if not open_points:
            best[0] = spent
            return
        point = min(open_points)
        for k, t in enumerate(terms):
            if point in holds[k]:
                search(open_points - holds[k], spent + cost(t))

    search(points, 0)
    return best[0]


def brute_minimum(f, criterion):
    on, terms = implicants(f)
    if criterion == "terms":
        return least_cost(on, terms, lambda t: 1)
    if criterion == "literals":
        return least_cost(on, terms, lambda t: t[1])
    assert criterion == "output_cost"  # one connection per term and output: each output on its own
    return sum(least_cost([on[j]], [(t[0], t[1], frozenset([0])) for t in terms if j in t[2]], lambda t: 1)
               for j in range(f.outputs))


@pytest.mark.parametrize("criterion", ["terms", "literals", "output_cost"])
def test_exact_covers_have_the_least_cost(criterion):
    rng = np.random.default_rng({"terms": 3, "literals": 5, "output_cost": 7}[criterion])
    for inputs, outputs, type_ in [(1, 1, "fr"), (3, 1, "fd"), (4, 1, "fr"), (4, 2, "fr"), (4, 3, "fd"),
                                   (3, 3, "fr"), (4, 2, "fd")]:
        for _ in range(3):
            f = random_function(rng, inputs, outputs, type_, terms=int(rng.integers(2, 2 ** inputs + 1)))
            r = vorn.minimize(f, criterion=criterion, exact=True, seed=1)
            assert vorn.verify(f, r), vorn.verify(f, r).fault
            check_cover_on_every_minterm(f, r.cover)
            expected = brute_minimum(f, criterion)
            assert r.cost == expected, (f.terms, r.cover.terms)
            assert r.proven is True and r.lower_bound == expected
            exact = r.stats["exact"]
            assert exact["primes"] >= 0 and set(exact["cyclicCore"]) == {"rows", "columns"}


def test_a_cyclic_function_needs_a_search():
    # Every minterm of 3 inputs but 000 and 111: six primes in a ring, none essential, three suffice.
    rows = [(format(m, "03b"), "1") for m in range(1, 7)]
    f = vorn.Function(3, 1, rows, type="fd")
    r = vorn.minimize(f, criterion="literals", exact=True, seed=1)
    assert (r.terms, r.literals, r.proven) == (3, 6, True)
    assert r.stats["exact"]["primes"] == 6
    assert r.stats["exact"]["cyclicCore"] == {"rows": 6, "columns": 6}


def test_a_stopped_run_gives_a_valid_cover_and_a_true_bound():
    rng = np.random.default_rng(11)
    f = random_function(rng, 4, 2, "fr", terms=12)
    expected = brute_minimum(f, "literals")
    r = vorn.minimize(f, criterion="literals", exact=True, seconds=0, seed=1)
    assert vorn.verify(f, r)
    check_cover_on_every_minterm(f, r.cover)
    assert r.proven is False
    assert 0 <= r.lower_bound <= expected <= r.cost
    assert "not proven (lower bound" in repr(r)


def test_runs_without_exact_carry_no_proof():
    f = random_function(np.random.default_rng(2), 4, 2)
    r = vorn.minimize(f, iterations=1, seed=1)
    assert r.proven is None and r.lower_bound is None and "exact" not in r.stats
