"""Functions learnt from examples: labelled samples become an fr function.

Each distinct sample is one minterm of the function: its input row is the
term's input part, its labels the output part ('1' puts the minterm in the
output's on-set, '0' in its off-set).  Everything the samples do not name is
a don't-care, which is what lets the minimizer generalize.
"""

import numpy as np

from . import _vorn

__all__ = ["ContradictionError", "from_samples"]


class ContradictionError(_vorn.Error, ValueError):
    """Samples with the same inputs and different labels.

    ``groups`` lists, for each contradicted input row, the indices of all
    samples that share it (in sample order).
    """

    def __init__(self, message, groups):
        super().__init__(message)
        self.groups = groups


def _as_bits(name, array, ndim_hint):
    """A 2-D boolean copy of ``array``; 0/1 integers are accepted, anything else is refused."""
    array = np.asarray(array)
    if array.ndim == 1 and ndim_hint == "columns":
        array = array[:, None]
    if array.ndim != 2:
        raise ValueError(f"{name} must be a 2-D array (samples x columns), not {array.ndim}-D")
    if array.dtype == np.bool_:
        return array
    if array.dtype.kind not in "iu" or (array.size and not np.isin(array, (0, 1)).all()):
        raise ValueError(f"{name} must hold booleans (or the integers 0 and 1)")
    return array.astype(np.bool_)


def _texts(bits):
    """One '0'/'1' text per row of a boolean matrix."""
    rows, width = bits.shape
    if width == 0:
        return [""] * rows
    chars = np.where(bits, np.uint8(ord("1")), np.uint8(ord("0")))
    return [row.decode("ascii") for row in np.ascontiguousarray(chars).view(f"S{width}").ravel()]


def _describe(groups, limit=5):
    shown = "; ".join(", ".join(str(i) for i in group) for group in groups[:limit])
    more = f"; and {len(groups) - limit} more" if len(groups) > limit else ""
    noun = "input row carries" if len(groups) == 1 else "input rows carry"
    return f"Contradicting samples: {len(groups)} {noun} different labels (samples {shown}{more})"


def from_samples(X, y, *, input_labels=None, output_labels=None):
    """The fr function whose on- and off-sets are the labelled samples.

    ``X`` is a boolean array of samples x inputs, ``y`` of samples x outputs
    (a 1-D ``y`` is one output).  Repeated samples with equal labels become
    one term, in the order of their first occurrence.  Samples with equal
    inputs and different labels have no cover; they raise
    ``ContradictionError`` naming every such group.
    """
    X = _as_bits("X", X, "rows")
    y = _as_bits("y", y, "columns")
    if X.shape[0] != y.shape[0]:
        raise ValueError(f"X has {X.shape[0]} samples, y has {y.shape[0]}")
    if y.shape[1] == 0:
        raise ValueError("y must have at least one output column")
    rows = X.shape[0]
    if rows:
        packed = np.packbits(X, axis=1) if X.shape[1] else np.zeros((rows, 1), np.uint8)
        _, first, inverse = np.unique(packed, axis=0, return_index=True, return_inverse=True)
        inverse = inverse.ravel()
        # A group contradicts itself when some output is both 0 and 1 in it.
        lowest = np.ones((len(first), y.shape[1]), np.bool_)
        highest = np.zeros((len(first), y.shape[1]), np.bool_)
        np.logical_and.at(lowest, inverse, y)
        np.logical_or.at(highest, inverse, y)
        bad = np.flatnonzero((lowest != highest).any(axis=1))
        if bad.size:
            members = {int(g): [] for g in bad}
            for index in np.flatnonzero(np.isin(inverse, bad)):
                members[int(inverse[index])].append(int(index))
            groups = sorted(members.values())
            raise ContradictionError(_describe(groups), groups)
        keep = np.sort(first)
    else:
        keep = np.zeros(0, np.intp)
    terms = list(zip(_texts(X[keep]), _texts(y[keep])))
    return _vorn.Function(X.shape[1], y.shape[1], terms, type="fr",
                          input_labels=input_labels, output_labels=output_labels)
