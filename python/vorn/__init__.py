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

from ._vorn import Error
from .samples import ContradictionError, from_samples

__all__ = ["ContradictionError", "Error", "from_samples"]
