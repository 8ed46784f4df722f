"""Many functions at once on a Dask cluster: one task per PLA file.

The functions of a batch are independent, so the batch is a plain map over
them on ``dask.distributed``: the client reads each file and sends its text
to a worker, the worker minimizes it and sends back the result's text and
statistics, and the client writes them.  Only the client needs to see the
files, so a cluster of other machines works without a shared folder.
"""

import json
import os
import tempfile

from . import minimize, read_pla

__all__ = ["Table", "minimize_files"]

# The keyword arguments of vorn.minimize that a batch passes on.
MINIMIZE_OPTIONS = ("criterion", "seconds", "iterations", "seed", "refine", "jobs", "exact")

COLUMNS = ("name", "status", "terms", "literals", "cost", "seconds", "iterations", "seed",
           "interrupted", "error")


class Table(list):
    """The figures of a batch: one dict per source file, in the order given.

    Every row has the keys of ``COLUMNS``; a failed file has status
    ``"failed"``, its ``error`` text and ``None`` for the figures.
    ``pandas.DataFrame(table)`` turns it into a data frame.
    """

    @property
    def failed(self):
        """The rows of the files that gave no result."""
        return [row for row in self if row["status"] != "ok"]

    def __str__(self):
        def cell(value):
            if value is None:
                return "-"
            if isinstance(value, float):
                return f"{value:.3f}"
            return str(value)

        shown = [c for c in COLUMNS if c != "error"]
        lines = [[c for c in shown]] + [[cell(row[c]) for c in shown] for row in self]
        widths = [max(len(line[i]) for line in lines) for i in range(len(shown))]
        text = ["  ".join(v.ljust(w) for v, w in zip(line, widths)).rstrip() for line in lines]
        text += [f"{row['name']}: {row['error']}" for row in self.failed]
        return "\n".join(text)


def _row(name, stats=None, error=None):
    row = dict.fromkeys(COLUMNS)
    row["name"] = name
    if error is not None:
        row.update(status="failed", error=error)
        return row
    result = stats["result"]
    row.update(status="ok", terms=result["terms"], literals=result["literals"],
               cost=result["cost"], seconds=stats["elapsedSeconds"],
               iterations=stats["iterations"], seed=stats["seed"],
               interrupted=stats["interrupted"])
    return row


def minimize_text(text, options):
    """The task of one file, run on a worker: the result's PLA text and statistics.

    Failures come back as text rather than as exceptions, so that nothing of
    them depends on pickling the module's exception types.
    """
    try:
        result = minimize(read_pla(text), **options)
        return {"pla": result.cover.to_pla(), "stats": result.stats}
    except Exception as error:  # every failure is reported per file
        return {"error": f"{type(error).__name__}: {error}"}


def _write_atomically(path, text):
    """Writes text to path through a temporary file in the same folder, so no partial file is left."""
    folder = os.path.dirname(os.path.abspath(path))
    fd, temporary = tempfile.mkstemp(dir=folder, prefix=".vorn-", suffix=".tmp")
    try:
        with os.fdopen(fd, "w") as stream:
            stream.write(text)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def _check(paths, out_dir, options):
    unknown = sorted(set(options) - set(MINIMIZE_OPTIONS))
    if unknown:
        raise TypeError(f"minimize_files() got unknown options: {', '.join(unknown)}")
    names = {}
    for path in paths:
        name = os.path.basename(path)
        if not name:
            raise ValueError(f"Source has no file name: {path!r}")
        if name in names:
            raise ValueError(f"Two sources named {name}: {names[name]} and {path}")
        names[name] = path
        destination = os.path.join(out_dir, name)
        if os.path.exists(destination) and os.path.exists(path) and os.path.samefile(path, destination):
            raise ValueError(f"The result of {path} would overwrite it: choose another out_dir")


def _read(path):
    with open(path, encoding="utf-8", errors="surrogateescape") as stream:
        return stream.read()


def minimize_files(paths, out_dir, client=None, *, workers=None, **options):
    """Minimizes each PLA file of ``paths`` as one Dask task; returns a ``Table``.

    ``options`` are the keyword arguments of ``vorn.minimize``.  Each result
    is written to ``out_dir/NAME`` (NAME the source's file name) and its
    statistics, with the source's path and the destination, as one JSON line
    of ``out_dir/stats.jsonl`` (a failed file gets a line with its
    ``error``).  A file that cannot be read or minimized is reported in the
    table and the others go on.  Without a ``client`` a ``LocalCluster`` of
    ``workers`` single-threaded processes (default: one per core) runs the
    batch and is closed afterwards.
    """
    import dask.distributed as dd

    paths = [os.fspath(p) for p in paths]
    out_dir = os.fspath(out_dir)
    _check(paths, out_dir, options)
    os.makedirs(out_dir, exist_ok=True)

    own = None
    if client is None:
        cluster = dd.LocalCluster(n_workers=workers or os.cpu_count() or 1, threads_per_worker=1,
                                  processes=True, dashboard_address=":0")
        own = (cluster, dd.Client(cluster))
        client = own[1]
    rows = {}
    pending = {}
    try:
        with open(os.path.join(out_dir, "stats.jsonl"), "w") as log:
            def record(path, stats=None, error=None):
                name = os.path.basename(path)
                rows[path] = _row(name, stats, error)
                line = dict(stats or {})
                line["source"] = dict(line.get("source") or {}, path=path)
                if error is None:
                    line["destination"] = os.path.join(out_dir, name)
                else:
                    line["error"] = error
                log.write(json.dumps(line) + "\n")
                log.flush()

            texts = {}
            for path in paths:
                try:
                    texts[path] = _read(path)
                except OSError as error:
                    record(path, error=f"{type(error).__name__}: {error.strerror or error}")
            # Larger sources first (a guess at the longer runs), so that small ones fill in at the end.
            # The texts go to the workers as data of their own, not inside the task graph,
            # where large ones would burden the scheduler (and Dask warns of every one).
            order = sorted(texts, key=lambda path: -len(texts[path]))
            data = client.scatter([texts[path] for path in order], hash=False) if order else []
            for path, text in zip(order, data):
                future = client.submit(minimize_text, text, options, pure=False, priority=len(texts[path]))
                pending[future] = path
            texts.clear()
            for future in dd.as_completed(list(pending)):
                path = pending.pop(future)
                try:
                    outcome = future.result()
                except Exception as error:  # a lost worker, a cancelled task
                    outcome = {"error": f"{type(error).__name__}: {error}"}
                if "error" in outcome:
                    record(path, error=outcome["error"])
                    continue
                try:
                    _write_atomically(os.path.join(out_dir, os.path.basename(path)), outcome["pla"])
                except OSError as error:  # this result is lost, the others are not
                    record(path, error=f"Cannot write the result: {type(error).__name__}: "
                                       f"{error.strerror or error}")
                    continue
                record(path, stats=outcome["stats"])
    finally:
        if pending:
            client.cancel(list(pending))
        if own is not None:
            own[1].close()
            own[0].close()
    return Table(rows[path] for path in paths)
