#!/usr/bin/python3
"""The Python module against the program, and the Dask batch against a serial run.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [--build build]
        [--bench ../shared/bench] [--sets sampled/pla pla] [--iterations 10]
        [--no-refine] [--seed 1] [--repeat 3] [--part overhead|batch|all]

overhead: every file of each set minimized by the program (a process:
reading, run, writing) and by the module (read_pla, minimize, to_pla and the
write, in this process), one after the other, --repeat times, the fastest of
each kept; the covers must be equal byte for byte.  Also the runs' own
elapsed seconds (the program's -stats, the module's stats) and the CPU
seconds of each (the program's process; this process during the module's
run), which a shared machine's load disturbs less than wall time.

batch: the first set minimized file after file by the program, then by
vorn.batch.minimize_files on a LocalCluster of 2 worker processes (started
beforehand and timed apart), --repeat times alternately; the covers must be
the program's.

The machine may be shared: the load average is printed before and after.
Exits with 1 when a cover differs.
"""

import argparse
import json
import os
import pathlib
import resource
import shutil
import subprocess
import sys
import tempfile
import time

import vorn
import vorn.batch

ROOT = pathlib.Path(__file__).resolve().parents[1]


def load():
    return " ".join(f"{x:.1f}" for x in os.getloadavg())


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def program_run(program, source, out, args):
    """Wall seconds of one program run, its -stats, and its CPU seconds."""
    stats = out.with_suffix(".json")
    start, cpu = time.perf_counter(), children_cpu()
    subprocess.run([str(program), "-q", *args, f"-stats{stats}", str(source), str(out)], check=True,
                   stderr=subprocess.DEVNULL)
    return time.perf_counter() - start, json.loads(stats.read_text()), children_cpu() - cpu


def module_run(source, out, options):
    """Wall seconds of read, minimize and write in this process, the run's stats, and the CPU seconds."""
    start, cpu = time.perf_counter(), time.process_time()
    result = vorn.minimize(vorn.read_pla(source.read_text()), **options)
    out.write_text(result.cover.to_pla())
    return time.perf_counter() - start, result.stats, time.process_time() - cpu


def program_args(options):
    args = [f"-seed{options['seed']}", f"-Si{options['iterations']}"]
    return args + (["-refine"] if options["refine"] else [])


def overhead(program, folder, options, repeat, work):
    files = sorted(folder.glob("*.pla"))
    print(f"\n{folder}: {len(files)} files, -Si{options['iterations']} -seed{options['seed']}"
          f"{' -refine' if options['refine'] else ''}, fastest of {repeat}")
    print(f"{'file':<14} {'program s':>10} {'module s':>9} {'ratio':>6} {'run (prog)':>10} {'run (mod)':>9} "
          f"{'cpu (prog)':>10} {'cpu (mod)':>9} {'ratio':>6}  cover")
    totals = [0.0] * 6
    differ = 0
    for source in files:
        best_p = best_m = None
        for _ in range(repeat):
            p = program_run(program, source, work / "p.pla", program_args(options))
            m = module_run(source, work / "m.pla", options)
            best_p = min(best_p or p, p, key=lambda x: x[0])
            best_m = min(best_m or m, m, key=lambda x: x[0])
        same = (work / "p.pla").read_text() == (work / "m.pla").read_text()
        differ += not same
        row = [best_p[0], best_m[0], best_p[1]["elapsedSeconds"], best_m[1]["elapsedSeconds"], best_p[2], best_m[2]]
        totals = [a + b for a, b in zip(totals, row)]
        print(f"{source.stem:<14} {row[0]:>10.3f} {row[1]:>9.3f} {row[1] / row[0]:>6.3f} {row[2]:>10.3f} "
              f"{row[3]:>9.3f} {row[4]:>10.3f} {row[5]:>9.3f} {row[5] / max(row[4], 1e-9):>6.3f}  "
              f"{'same' if same else 'DIFFERENT'}")
    print(f"{'total':<14} {totals[0]:>10.3f} {totals[1]:>9.3f} {totals[1] / totals[0]:>6.3f} {totals[2]:>10.3f} "
          f"{totals[3]:>9.3f} {totals[4]:>10.3f} {totals[5]:>9.3f} {totals[5] / totals[4]:>6.3f}  "
          f"{len(files) - differ} of {len(files)} same")
    return differ


def batch(program, folder, options, repeat, work):
    from dask.distributed import Client, LocalCluster

    files = sorted(folder.glob("*.pla"))
    print(f"\nbatch over {folder}: {len(files)} files, 2 worker processes, "
          f"-Si{options['iterations']} -seed{options['seed']}{' -refine' if options['refine'] else ''}")
    start = time.perf_counter()
    cluster = LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=":0")
    client = Client(cluster)
    print(f"cluster start {time.perf_counter() - start:.2f} s (not counted below)")
    differ = 0
    try:
        for attempt in range(repeat):
            serial = 0.0
            for source in files:
                serial += program_run(program, source, work / source.name, program_args(options))[0]
            out = work / f"batch{attempt}"
            start = time.perf_counter()
            table = vorn.batch.minimize_files(files, out, client, **options)
            wall = time.perf_counter() - start
            same = sum((work / s.name).read_text() == (out / s.name).read_text() for s in files
                       if (out / s.name).exists())
            differ += len(files) - same
            print(f"serial (program, file after file) {serial:.2f} s, batch {wall:.2f} s, ratio {wall / serial:.3f}, "
                  f"{same} of {len(files)} covers the program's, {len(table.failed)} failed, load {load()}")
    finally:
        client.close()
        cluster.close()
    return differ


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", type=pathlib.Path, default=ROOT / "build")
    # shared/bench beside the repository, or beside the folder of its worktree.
    bench = next((up / "shared" / "bench" for up in (ROOT.parent, ROOT.parent.parent)
                  if (up / "shared" / "bench").is_dir()), ROOT.parent / "shared" / "bench")
    parser.add_argument("--bench", type=pathlib.Path, default=bench)
    parser.add_argument("--sets", nargs="+", default=["sampled/pla", "pla"])
    parser.add_argument("--iterations", type=int, default=10)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--no-refine", dest="refine", action="store_false")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--part", choices=["overhead", "batch", "all"], default="all")
    args = parser.parse_args()
    program = args.build / "vorn"
    options = {"iterations": args.iterations, "seed": args.seed, "refine": args.refine}
    print(f"load average before: {load()} ({os.cpu_count()} cores)")
    differ = 0
    work = pathlib.Path(tempfile.mkdtemp(prefix="vorn-python-bench-"))
    try:
        if args.part in ("overhead", "all"):
            for name in args.sets:
                differ += overhead(program, args.bench / name, options, args.repeat, work)
        if args.part in ("batch", "all"):
            differ += batch(program, args.bench / args.sets[0], options, args.repeat, work)
    finally:
        shutil.rmtree(work)
    print(f"\nload average after: {load()}")
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
