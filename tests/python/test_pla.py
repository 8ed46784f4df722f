"""read_pla, Function and to_pla: every bench file round trip, construction, refusals."""

import pickle
import warnings

import pytest

import vorn
from conftest import BENCH, bench_files

DIGITS = str.maketrans("234", "-~1")


def plain_reading(text):
    """Header and terms of a PLA file by the plain rules the bench files follow.

    Term characters run on across words and lines ('|' separates parts);
    every inputs + outputs characters make one term.
    """
    header = {"type": "fd", "ilb": None, "ob": None}
    stream = []
    for line in text.splitlines():
        fields = line.split("#", 1)[0].split()
        if not fields:
            continue
        key = fields[0].lower()
        if key.startswith(".e"):
            break
        if key in (".i", ".o"):
            header[key[1:]] = int(fields[1])
        elif key in (".ilb", ".ob"):
            header[key[1:]] = fields[1:]
        elif key == ".type":
            header["type"] = fields[1]
        elif not key.startswith("."):
            stream.append("".join(fields).replace("|", "").translate(DIGITS))
    stream = "".join(stream)
    width, size = header["i"], header["i"] + header["o"]
    return header, [(stream[k:k + width], stream[k + width:k + size]) for k in range(0, len(stream), size)]


BENCH_FILES = bench_files()


@pytest.mark.parametrize("path", BENCH_FILES, ids=[str(p.relative_to(BENCH)) for p in BENCH_FILES])
def test_bench_file_round_trip(path):
    text = path.read_text()
    header, terms = plain_reading(text)
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        f = vorn.read_pla(text)
    # Files with terms wrapped over lines, and a short name line, are read with the program's warnings.
    said = [str(w.message) for w in caught]
    assert all(" warning: the term goes on to line " in w or "; the others get default names" in w for w in said)
    short = [key for key, count in (("ilb", "i"), ("ob", "o"))
             if header[key] is not None and len(header[key]) < header[count]]
    assert sum("; the others get default names" in w for w in said) == len(short)
    assert (f.inputs, f.outputs, f.type) == (header["i"], header["o"], header["type"])
    # A name line shorter than the function (orig/pla/newxcpla1.pla names 15 of
    # its 23 outputs) gives the others their default names.
    given_inputs, given_outputs = header["ilb"] or [], header["ob"] or []
    assert f.input_labels == given_inputs + [f"x{i}" for i in range(len(given_inputs), f.inputs)]
    assert f.output_labels == given_outputs + [f"y{j}" for j in range(len(given_outputs), f.outputs)]
    assert f.terms == terms
    again = vorn.read_pla(f.to_pla())
    assert again == f and again.to_pla() == f.to_pla()


def test_a_short_name_line_keeps_every_term():
    path = BENCH / "orig" / "pla" / "newxcpla1.pla"
    if not path.is_file():
        pytest.skip(f"no {path}")
    with pytest.warns(UserWarning, match="^line 4: warning: .ob names 15 of 23 outputs; the others get default names$"):
        f = vorn.read_pla(path.read_text())
    assert (f.inputs, f.outputs, len(f)) == (9, 23, 43)
    assert f.output_labels[15:] == [f"y{j}" for j in range(15, 23)]


def test_the_program_warnings_are_python_warnings():
    text = ".i 3\n.o 2\n.ob f\n000\n11\n.e\n"
    with pytest.warns(UserWarning) as caught:
        f = vorn.read_pla(text)
    assert [str(w.message) for w in caught] == [
        "line 3: warning: .ob names 1 of 2 outputs; the others get default names",
        "line 4: warning: the term goes on to line 5"]
    assert f.output_labels == ["f", "y1"] and f.terms == [("000", "11")]
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        with pytest.raises(UserWarning, match="names 1 of 2 outputs"):
            vorn.read_pla(text)
        vorn.read_pla(".i 1\n.o 1\n1 1\n")  # nothing to warn of


def test_bench_files_are_there():
    if not BENCH_FILES:
        pytest.skip(f"no benchmark folder at {BENCH} (set VORN_BENCH_ROOT)")
    assert len(BENCH_FILES) > 100


def test_function_from_terms_reads_back_from_its_text():
    f = vorn.Function(3, 2, [("01-", "10"), ("1-1", "0~"), ("---", "-1")], type="fdr",
                      input_labels=["a", "b", "c"], output_labels=["f", "g"])
    assert len(f) == 3 and f.type == "fdr"
    text = f.to_pla()
    assert ".i 3" in text and ".o 2" in text and ".ilb a b c" in text and ".ob f g" in text
    assert ".type fdr" in text
    assert vorn.read_pla(text) == f
    assert f != vorn.Function(3, 2, f.terms, type="fr", input_labels=["a", "b", "c"], output_labels=["f", "g"])
    assert f != vorn.Function(3, 2, f.terms[:2], type="fdr", input_labels=["a", "b", "c"], output_labels=["f", "g"])


def test_default_labels_and_pickling():
    f = vorn.Function(2, 1, [["1-", "1"], ("01", "0")])
    assert f.input_labels == ["x0", "x1"] and f.output_labels == ["y0"] and f.type == "fr"
    assert f.terms == [("1-", "1"), ("01", "0")]
    assert pickle.loads(pickle.dumps(f)) == f


@pytest.mark.parametrize("terms, labels, message", [
    ([("01", "1")], {}, "term 1: the input part has 2 characters instead of 3"),
    ([("010", "1"), ("01x", "1")], {}, "term 2: the input part holds 'x', which is none of 0 1 - ~"),
    ([("010", "11")], {}, "term 1: the output part has 2 characters instead of 1"),
    ([("010", "1")], {"input_labels": ["a", "b"]}, "2 input labels for 3 inputs"),
    ([("010", "1")], {"output_labels": ["q r"]}, "output label 1 is empty or holds a blank"),
])
def test_malformed_functions_are_refused_with_the_library_message(terms, labels, message):
    with pytest.raises(vorn.Error) as caught:
        vorn.Function(3, 1, terms, **labels)
    assert str(caught.value) == message


def test_bad_arguments_are_python_errors():
    with pytest.raises(ValueError, match="Unknown function type 'frd'"):
        vorn.Function(1, 1, [("1", "1")], type="frd")
    with pytest.raises(RuntimeError):  # pybind11's word for a pair that is none
        vorn.Function(1, 1, [("1", "1", "1")])
    with pytest.raises(vorn.Error, match="Number of inputs out of range"):
        vorn.Function(-1, 1, [])


def test_unreadable_texts_raise_the_program_message():
    with pytest.raises(vorn.Error) as caught:
        vorn.read_pla(".i 2\n.o 1\n.e\n")
    assert "holds no term" in str(caught.value)
    with pytest.raises(vorn.Error) as caught:
        vorn.read_pla(".i 2\n.o 1\n.mv 3 1\n01 1\n.e\n")
    assert ".mv" in str(caught.value)
