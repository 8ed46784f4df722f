"""Function.evaluate against a plain NumPy evaluation of the cubes."""

import numpy as np
import pytest

import vorn


def random_cover(rng, inputs, outputs, terms, type_="fd", chars="1~"):
    rows = [("".join(rng.choice(list("01---"), size=inputs)), "".join(rng.choice(list(chars), size=outputs)))
            for _ in range(terms)]
    return vorn.Function(inputs, outputs, rows, type=type_)


def plain_evaluation(f, X):
    """samples x outputs by cube containment written out in NumPy."""
    deciding = "0" if f.type == "r" else "1"
    value = np.zeros((X.shape[0], f.outputs), bool)
    for cube, outs in f.terms:
        chars = np.array(list(cube))
        inside = ((chars == "-") | (X == (chars == "1"))).all(axis=1) if f.inputs else np.ones(len(X), bool)
        for j, c in enumerate(outs):
            if c == deciding:
                value[:, j] |= inside
    return ~value if f.type == "r" else value


@pytest.mark.parametrize("inputs", [1, 5, 63, 64, 65, 130])
@pytest.mark.parametrize("type_, chars", [("fd", "1~-"), ("fr", "10~"), ("f", "1~"), ("r", "01~")])
def test_evaluation_matches_the_cubes(inputs, type_, chars):
    rng = np.random.default_rng(inputs * 7 + len(type_))
    f = random_cover(rng, inputs, 3, 25, type_, chars)
    X = rng.random((300, inputs)) < 0.5
    # Points inside a few cubes, so that containment is not decided by the first literal alone.
    for k, (cube, _) in enumerate(f.terms[:10]):
        X[k] = [c == "1" if c != "-" else rng.random() < 0.5 for c in cube]
    got = f.evaluate(X)
    assert got.dtype == np.bool_ and got.shape == (300, 3)
    assert (got == plain_evaluation(f, X)).all()


def test_one_sample_and_integer_samples():
    f = vorn.Function(3, 2, [("1-0", "1~"), ("--1", "~1")], type="fd")
    assert f.evaluate(np.array([1, 1, 0], bool)).tolist() == [True, False]
    assert f.evaluate(np.array([[1, 0, 1], [0, 0, 0]])).tolist() == [[False, True], [False, False]]
    assert f.evaluate(np.zeros((0, 3), bool)).shape == (0, 2)
    # Lists and tuples as NumPy takes them.
    assert f.evaluate([1, 1, 0]).tolist() == [True, False]
    assert f.evaluate([[True, False, True], (0, 0, 0)]).tolist() == [[False, True], [False, False]]


def test_a_tilde_input_contains_no_point():
    f = vorn.Function(2, 1, [("~-", "1")], type="fd")
    assert not f.evaluate(np.array([[0, 0], [1, 1]], bool)).any()


def test_malformed_samples_are_refused():
    f = vorn.Function(3, 1, [("1--", "1")])
    with pytest.raises(ValueError, match="samples have 2 inputs, the function 3"):
        f.evaluate(np.zeros((4, 2), bool))
    with pytest.raises(ValueError, match="booleans"):
        f.evaluate(np.full((4, 3), 2))
    with pytest.raises(TypeError, match="booleans"):
        f.evaluate(np.zeros((4, 3), float))
    with pytest.raises(ValueError, match="2-D array"):
        f.evaluate(np.zeros((2, 2, 3), bool))
    with pytest.raises(TypeError, match="booleans"):
        f.evaluate([["1", "0", "1"]])


def test_a_learnt_cover_classifies_its_own_samples():
    rng = np.random.default_rng(12)
    X = rng.random((500, 20)) < 0.5
    y = np.stack([X[:, 0] & X[:, 3], X[:, 5] | ~X[:, 7]], axis=1)
    f = vorn.from_samples(X, y)
    r = vorn.minimize(f, iterations=2, seed=1)
    assert (r.cover.evaluate(X) == y).all()
    assert (f.evaluate(X) == y).all()
