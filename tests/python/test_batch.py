"""vorn.batch.minimize_files on a LocalCluster of worker processes."""

import json
import os

import numpy as np
import pytest

import vorn
import vorn.batch

dd = pytest.importorskip("dask.distributed")


@pytest.fixture(scope="module")
def client():
    with dd.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=":0") as cluster:
        with dd.Client(cluster) as c:
            yield c


def sampled(seed, inputs):
    rng = np.random.default_rng(seed)
    X = rng.random((200, inputs)) < 0.5
    return vorn.from_samples(X, X[:, 0] ^ (X[:, 1] & X[:, 2]))


@pytest.fixture
def sources(tmp_path):
    folder = tmp_path / "in"
    folder.mkdir()
    (folder / "a.pla").write_text(sampled(1, 12).to_pla())
    (folder / "b.pla").write_text(sampled(2, 20).to_pla())
    (folder / "broken.pla").write_text(".i 3\n.o 1\n.mv 4 1\n010 1\n.e\n")
    return [folder / "a.pla", folder / "broken.pla", folder / "b.pla"]


def test_two_results_and_one_reported_failure(client, sources, tmp_path):
    out = tmp_path / "out"
    table = vorn.batch.minimize_files(sources, out, client, iterations=3, seed=5)
    assert [row["name"] for row in table] == ["a.pla", "broken.pla", "b.pla"]
    assert [row["status"] for row in table] == ["ok", "failed", "ok"]
    assert [row["name"] for row in table.failed] == ["broken.pla"]
    assert "Error: " in table[1]["error"] and ".mv" in table[1]["error"]
    assert table[1]["terms"] is None
    assert sorted(os.listdir(out)) == ["a.pla", "b.pla", "stats.jsonl"]
    for path, row in zip(sources, table):
        if row["status"] != "ok":
            continue
        source = vorn.read_pla(path.read_text())
        cover = vorn.read_pla((out / path.name).read_text())
        assert vorn.verify(source, cover)
        # The same cover as a run in this process with the same options and seed.
        assert (out / path.name).read_text() == vorn.minimize(source, iterations=3, seed=5).cover.to_pla()
        assert (row["terms"], row["seed"], row["iterations"]) == (len(cover), 5, 3)
    lines = {json.loads(line)["source"]["path"]: json.loads(line) for line in (out / "stats.jsonl").open()}
    assert set(lines) == {str(p) for p in sources}
    assert ".mv" in lines[str(sources[1])]["error"]
    good = lines[str(sources[0])]
    assert good["destination"] == str(out / "a.pla") and good["result"]["terms"] == table[0]["terms"]
    assert good["options"]["stopping"]["iterations"] == 3
    assert "broken.pla: Error: " in str(table)


def test_large_sources_go_to_the_workers_without_a_warning(client, tmp_path, recwarn):
    big = tmp_path / "big.pla"
    rng = np.random.default_rng(3)
    X = rng.random((12000, 96)) < 0.5  # about 1.2 MB of text
    big.write_text(vorn.from_samples(X, X[:, 0] & X[:, 1]).to_pla())
    assert big.stat().st_size > 1 << 20
    table = vorn.batch.minimize_files([big], tmp_path / "out", client, iterations=1, seed=1, refine=False)
    assert [row["status"] for row in table] == ["ok"]
    assert [str(w.message) for w in recwarn if "Large object" in str(w.message)] == []


def test_a_missing_file_is_reported_and_the_others_go_on(client, sources, tmp_path):
    missing = tmp_path / "in" / "gone.pla"
    table = vorn.batch.minimize_files([sources[0], missing], tmp_path / "out", client, seed=1)
    assert [row["status"] for row in table] == ["ok", "failed"]
    assert "FileNotFoundError" in table[1]["error"]


def test_a_result_that_cannot_be_written_is_reported_and_the_others_go_on(client, sources, tmp_path):
    out = tmp_path / "out"
    (out / "b.pla").mkdir(parents=True)  # a folder where the result would go
    table = vorn.batch.minimize_files([sources[0], sources[2]], out, client, iterations=2, seed=1)
    assert [row["status"] for row in table] == ["ok", "failed"]
    assert table[1]["error"].startswith("Cannot write the result: IsADirectoryError")
    assert vorn.verify(vorn.read_pla(sources[0].read_text()), vorn.read_pla((out / "a.pla").read_text()))
    assert [p.name for p in out.iterdir() if p.name.startswith(".vorn-")] == []
    lines = [json.loads(line) for line in (out / "stats.jsonl").open()]
    assert sorted(("error" in line) for line in lines) == [False, True]


def test_refusals_before_any_task(client, sources, tmp_path):
    with pytest.raises(TypeError, match="unknown options: iteration"):
        vorn.batch.minimize_files(sources, tmp_path / "out", client, iteration=3)
    other = tmp_path / "other"
    other.mkdir()
    (other / "a.pla").write_text(sources[0].read_text())
    with pytest.raises(ValueError, match="Two sources named a.pla"):
        vorn.batch.minimize_files([sources[0], other / "a.pla"], tmp_path / "out", client)
    with pytest.raises(ValueError, match="would overwrite it"):
        vorn.batch.minimize_files(sources, sources[0].parent, client)
    assert sources[0].read_text() == (other / "a.pla").read_text()


def test_without_a_client_a_local_cluster_runs_the_batch(sources, tmp_path):
    table = vorn.batch.minimize_files([sources[0], sources[2]], tmp_path / "out", workers=2, iterations=2, seed=3)
    assert [row["status"] for row in table] == ["ok", "ok"]
    assert (tmp_path / "out" / "b.pla").exists()
