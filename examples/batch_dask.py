#!/usr/bin/env python3
"""Restyle a folder of photos with Dask distributed.

    batch_dask.py IN_DIR OUT_DIR --preset N [--scheduler ADDRESS] [--pack DIR]
                  [--chunk 48] [--workers 2]

Without --scheduler a LocalCluster of worker processes on this machine does
the work; with it, the workers of a running cluster do (start one with
`dask scheduler` on one host and `dask worker tcp://HOST:8786` on each
other). Every worker needs the lumetra module and must see IN_DIR, OUT_DIR
and the picture pack at the same paths (a shared file system).

Each task takes a chunk of photo paths, reads, restyles and writes them, and
returns one small record per photo: pixels never pass through the scheduler,
so a million photos make only a few tens of thousands of tasks. Photos that
fail are reported at the end; the others go on. The exit status is 1 when
any photo failed.
"""
import argparse
import os
import sys
import time

PHOTO_EXTENSIONS = {".jpg", ".jpeg", ".png", ".tif", ".tiff", ".bmp", ".webp", ".ppm", ".pgm"}


def restyle_chunk(paths, out_dir, preset, pack):
    """Runs on a worker: one record (path, ok, error, seconds) per photo."""
    import lumetra

    records = []
    for path in paths:
        started = time.perf_counter()
        try:
            picture = lumetra.read(path)
            lumetra.apply(picture, preset=preset, pack=pack, out=picture)
            lumetra.write(os.path.join(out_dir, os.path.basename(path)), picture)
            records.append({"path": path, "ok": True, "error": None})
        except Exception as error:  # one bad photo never stops the chunk
            records.append({"path": path, "ok": False, "error": f"{type(error).__name__}: {error}"})
        records[-1]["seconds"] = time.perf_counter() - started
    return records


def photo_paths(in_dir):
    names = sorted(os.listdir(in_dir))
    return [os.path.join(in_dir, name) for name in names
            if os.path.splitext(name)[1].lower() in PHOTO_EXTENSIONS and os.path.isfile(os.path.join(in_dir, name))]


def chunks(items, size):
    return [items[start:start + size] for start in range(0, len(items), size)]


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="Restyle a folder of photos with Dask distributed.")
    parser.add_argument("in_dir")
    parser.add_argument("out_dir")
    parser.add_argument("--preset", type=int, required=True, help="preset index 0..152")
    parser.add_argument("--scheduler", help="address of a running scheduler, e.g. tcp://HOST:8786")
    parser.add_argument("--pack", help="picture pack folder (textures/, vignettes/, frames/)")
    parser.add_argument("--chunk", type=int, default=48, help="photos per task (default 48)")
    parser.add_argument("--workers", type=int, default=None, help="local worker processes (default: cores)")
    arguments = parser.parse_args(argv)
    if not 0 <= arguments.preset <= 152:
        parser.error(f"--preset must be in 0..152, not {arguments.preset}")
    if arguments.chunk < 1:
        parser.error("--chunk must be at least 1")
    if not os.path.isdir(arguments.in_dir):
        parser.error(f"cannot read '{arguments.in_dir}': no such folder")
    return arguments


def main(argv=None):
    arguments = parse_arguments(argv)
    from dask.distributed import Client, LocalCluster, as_completed

    os.makedirs(arguments.out_dir, exist_ok=True)
    out_dir = os.path.abspath(arguments.out_dir)
    pack = os.path.abspath(arguments.pack) if arguments.pack else None
    paths = [os.path.abspath(path) for path in photo_paths(arguments.in_dir)]
    if not paths:
        print(f"batch_dask: no photos in '{arguments.in_dir}'", file=sys.stderr)
        return 0

    if arguments.scheduler:
        cluster, client = None, Client(arguments.scheduler)
    else:
        # One thread per worker process: each call already fills a core.
        cluster = LocalCluster(n_workers=arguments.workers, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    try:
        futures = client.map(restyle_chunk, chunks(paths, arguments.chunk), out_dir=out_dir,
                             preset=arguments.preset, pack=pack, pure=False)
        done, failed = 0, []
        for future in as_completed(futures):
            for record in future.result():
                done += 1
                if not record["ok"]:
                    failed.append(record)
            print(f"\r{done}/{len(paths)} photos", end="", file=sys.stderr, flush=True)
        print(file=sys.stderr)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()

    for record in failed:
        print(f"batch_dask: {record['path']}: {record['error']}", file=sys.stderr)
    print(f"{len(paths) - len(failed)} restyled, {len(failed)} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
