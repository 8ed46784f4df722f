"""from_samples: labelled samples to an fr function, duplicates merged, contradictions refused."""

import numpy as np
import pytest

import vorn


def test_duplicates_merge_in_first_occurrence_order():
    X = [[0, 0, 1], [0, 1, 1], [0, 0, 1], [1, 1, 0], [1, 0, 0], [0, 1, 1]]
    y = [1, 0, 1, 0, 1, 0]
    f = vorn.from_samples(np.array(X, bool), np.array(y, bool))
    assert (f.inputs, f.outputs, f.type) == (3, 1, "fr")
    assert f.terms == [("001", "1"), ("011", "0"), ("110", "0"), ("100", "1")]


def test_several_outputs_and_integer_arrays():
    X = np.array([[1, 0], [0, 1], [1, 0], [1, 1]])
    y = np.array([[1, 0, 1], [0, 0, 1], [1, 0, 1], [0, 1, 0]])
    f = vorn.from_samples(X, y, input_labels=["a", "b"], output_labels=["p", "q", "r"])
    assert f.terms == [("10", "101"), ("01", "001"), ("11", "010")]
    assert f.input_labels == ["a", "b"] and f.output_labels == ["p", "q", "r"]
    assert ".ilb a b" in f.to_pla() and ".type fr" in f.to_pla()


def test_inputs_across_word_boundaries_keep_every_column():
    rng = np.random.default_rng(5)
    X = rng.random((40, 130)) < 0.5
    y = rng.random(40) < 0.5
    f = vorn.from_samples(X, y)
    assert [t[0] for t in f.terms] == ["".join("1" if b else "0" for b in row) for row in X]
    assert [t[1] for t in f.terms] == ["1" if b else "0" for b in y]


def test_contradicting_samples_are_refused_with_every_group():
    X = np.array([[0, 1], [1, 1], [0, 1], [1, 0], [1, 1], [1, 1]], bool)
    y = np.array([[1, 0], [1, 1], [1, 1], [0, 0], [1, 1], [1, 0]], bool)
    with pytest.raises(vorn.ContradictionError) as caught:
        vorn.from_samples(X, y)
    assert caught.value.groups == [[0, 2], [1, 4, 5]]
    assert "2 input rows carry different labels" in str(caught.value)
    assert isinstance(caught.value, vorn.Error) and isinstance(caught.value, ValueError)


def test_equal_labels_on_repeated_rows_are_no_contradiction():
    f = vorn.from_samples(np.ones((5, 4), bool), np.ones((5, 2), bool))
    assert f.terms == [("1111", "11")]


@pytest.mark.parametrize("X, y, message", [
    (np.full((3, 2), 2), np.zeros(3, int), "X must hold booleans"),
    (np.zeros((3, 2), float), np.zeros(3), "X must hold booleans"),
    (np.zeros(3, bool), np.zeros(3, bool), "X must be a 2-D array"),
    (np.zeros((3, 2), bool), np.zeros(4, bool), "X has 3 samples, y has 4"),
    (np.zeros((3, 2), bool), np.zeros((3, 0), bool), "at least one output"),
])
def test_malformed_arrays_are_refused(X, y, message):
    with pytest.raises(ValueError, match=message):
        vorn.from_samples(X, y)
