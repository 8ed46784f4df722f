"""vorn: two-level minimization of multi-output Boolean functions.

Read or build a function, minimize it, check and evaluate the cover::

    import vorn
    f = vorn.read_pla(open("f.pla").read())
    result = vorn.minimize(f, iterations=10, seed=1)
    assert vorn.verify(f, result)
    print(result.literals, result.cover.to_pla())

``vorn.from_samples`` learns a function from labelled samples, and
``vorn.batch.minimize_files`` minimizes many files on a Dask cluster.
"""

from . import _vorn
from ._vorn import Error, Function, Verdict, read_pla
from .samples import ContradictionError, from_samples

__all__ = ["ContradictionError", "Error", "Function", "Result", "Verdict", "from_samples", "minimize",
           "read_pla", "verify"]
__version__ = "2.2b0"

_CRITERION_LETTERS = {"terms": "t", "literals": "l", "output_cost": "o", "literals_and_output_cost": "b",
                      "gates": "g", "gate_equivalents": "G"}


class Result:
    """The outcome of ``minimize``: the cover and the figures of the run.

    ``cover`` is a Function (type fd) over the source's inputs, outputs and
    labels; ``terms``, ``literals`` and ``cost`` (by the run's criterion) are
    its figures; ``seed`` is the seed the run used (the winning run's with
    ``jobs`` > 1), ``interrupted`` tells whether a stop request or Ctrl-C
    ended it early, ``improvements`` is the course of the best cost (one
    dict per cheaper cover: iteration, seconds, cost, refined), and
    ``stats`` holds all of it as the program's ``-stats`` JSON does.  After
    an exact run ``proven`` tells whether no cheaper cover exists and
    ``lower_bound`` is a cost no cover goes below (both None otherwise).
    """

    __slots__ = ("cover", "stats")

    def __init__(self, cover, stats):
        self.cover = cover
        self.stats = stats

    terms = property(lambda self: self.stats["result"]["terms"])
    literals = property(lambda self: self.stats["result"]["literals"])
    cost = property(lambda self: self.stats["result"]["cost"])
    seed = property(lambda self: self.stats["seed"])
    iterations = property(lambda self: self.stats["iterations"])
    seconds = property(lambda self: self.stats["elapsedSeconds"])
    interrupted = property(lambda self: self.stats["interrupted"])
    improvements = property(lambda self: self.stats["improvements"])
    proven = property(lambda self: self.stats["exact"]["proven"] if "exact" in self.stats else None)
    lower_bound = property(lambda self: self.stats["exact"]["lowerBound"] if "exact" in self.stats else None)

    def __getstate__(self):
        return self.cover, self.stats

    def __setstate__(self, state):
        self.cover, self.stats = state

    def __repr__(self):
        stopped = ", interrupted" if self.interrupted else ""
        if self.proven is not None:
            stopped += ", minimum proven" if self.proven else f", not proven (lower bound {self.lower_bound})"
        return (f"<vorn.Result: {self.terms} terms, {self.literals} literals, cost {self.cost}, "
                f"seed {self.seed}, {self.iterations} iterations in {self.seconds:.3f} s{stopped}>")


def _statistics(function, run, criterion, seconds, iterations, refine):
    """The run's figures under the keys of the program's -stats JSON (without its search settings)."""
    letter = _CRITERION_LETTERS.get(criterion, criterion)
    statistics = {
        "source": {"path": None, "inputs": function.inputs, "outputs": function.outputs,
                   "terms": len(function), "type": function.type},
        "destination": None,
        "options": {"criterion": letter, "refine": refine, "jobs": run["jobs"],
                    "stopping": {"seconds": seconds,
                                 # a run given no limit makes one iteration
                                 "iterations": 1 if seconds is None and iterations is None else iterations,
                                 "interval": None, "quality": None}},
        "seed": run["seed"],
        "iterations": run["iterations"],
        "elapsedSeconds": run["seconds"],
        "result": run["result"],
        "improvements": run["improvements"],
        "interrupted": run["interrupted"],
    }
    if "exact" in run:
        statistics["exact"] = run["exact"]
    return statistics


def minimize(function, *, criterion="literals", seconds=None, iterations=None, seed=None, refine=True,
             jobs=1, exact=False, stop=None):
    """Minimizes a function; returns a ``Result``.

    ``criterion`` is what a cheaper cover means: "terms", "literals",
    "output_cost", "literals_and_output_cost", "gates" or
    "gate_equivalents" (or the program's -Q letter).  The run stops after
    ``iterations`` iterations or ``seconds`` seconds, whichever comes first
    (one iteration when neither is given).  ``seed`` makes an
    iteration-bounded run repeatable; ``refine`` improves the best cover
    after the search; ``jobs`` runs that many independent searches on
    threads.  ``exact`` asks for a cover of least cost by the criterion,
    from all prime implicants (the search options are then not used):
    ``proven`` of the result tells whether it is a proven minimum, and a
    run stopped by ``seconds`` or a stop request returns the best cover
    found with ``lower_bound``.

    The interpreter's lock is released during the run.  Ctrl-C
    (KeyboardInterrupt) ends it with the best cover so far, returned with
    ``interrupted`` set (a second one is raised as usual); so does ``stop``,
    a callable or a ``threading.Event``, once it is true.  A source without
    a valid cover, or a failed run, raises ``vorn.Error`` with the message
    the program prints.
    """
    if not isinstance(function, Function):
        raise TypeError(f"minimize() needs a vorn.Function, not {type(function).__name__}")
    cover, run = _vorn.minimize(function, criterion=criterion, seconds=seconds, iterations=iterations, seed=seed,
                                refine=refine, jobs=jobs, exact=exact, stop=stop)
    return Result(cover, _statistics(function, run, criterion, seconds, iterations, refine))


def verify(source, result):
    """Whether ``result`` (a Result or a Function) is a valid cover of ``source``.

    The answer is a ``Verdict``: true when the cover holds every on-set
    minterm of every output of the source and no '1' outside its on-set and
    don't-care set; else false, with ``fault`` naming the first output and
    cube found at fault.
    """
    return _vorn.verify(source, getattr(result, "cover", result))


from . import batch  # noqa: E402  (after minimize, which it runs)
