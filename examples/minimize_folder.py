#!/usr/bin/python3
"""Minimizes every PLA file of a folder on a Dask cluster, one task per file.

    examples/minimize_folder.py SOURCES OUT [--scheduler ADDRESS] [--workers N]
                                [--iterations N] [--seconds S] [--seed N]
                                [--criterion NAME] [--no-refine]

Each result goes to OUT/NAME, the statistics of all runs to OUT/stats.jsonl,
and the table of figures to standard output.  Without --scheduler the batch
runs on a LocalCluster of --workers processes on this machine.  To use a
cluster of several machines, start a scheduler on one of them and a worker
on each (vorn installed on every machine; only this one needs the files):

    dask scheduler                          # prints tcp://HOST:8786
    dask worker tcp://HOST:8786 --nthreads 1 --nworkers 2
    examples/minimize_folder.py in/ out/ --scheduler tcp://HOST:8786

Exits with 1 when a file failed (its row says why), 0 otherwise.
"""

import argparse
import pathlib
import sys

import vorn.batch


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("sources", type=pathlib.Path, help="folder of PLA files (*.pla)")
    parser.add_argument("out", type=pathlib.Path, help="folder for the results and stats.jsonl")
    parser.add_argument("--scheduler", help="address of a running Dask scheduler (tcp://HOST:PORT)")
    parser.add_argument("--workers", type=int, help="processes of the local cluster (default: one per core)")
    parser.add_argument("--iterations", type=int)
    parser.add_argument("--seconds", type=float)
    parser.add_argument("--seed", type=int)
    parser.add_argument("--criterion", default="literals")
    parser.add_argument("--no-refine", dest="refine", action="store_false")
    args = parser.parse_args()

    paths = sorted(args.sources.glob("*.pla"))
    if not paths:
        parser.error(f"no *.pla file in {args.sources}")
    options = {"criterion": args.criterion, "refine": args.refine}
    options.update({k: v for k, v in vars(args).items() if k in ("iterations", "seconds", "seed") and v is not None})
    client = None
    if args.scheduler:
        from dask.distributed import Client
        client = Client(args.scheduler)
    try:
        table = vorn.batch.minimize_files(paths, args.out, client, workers=args.workers, **options)
    finally:
        if client is not None:
            client.close()
    print(table)
    return 1 if table.failed else 0


if __name__ == "__main__":
    sys.exit(main())
