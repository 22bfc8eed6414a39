#!/usr/bin/env python3
"""What the Python module adds to a library call, and how threads scale.

    PYTHONPATH=build/release/python /usr/bin/python3 bench/python_binding.py [LIBDIR]

Prints: a 12 MP preset call through the module (in place, so no copy) beside
the same fx call made directly on the shared library through ctypes; the
fixed cost of a call on a 1x1 picture; throughput with 2 threads against 1.
"""
import ctypes
import ctypes.util
import os
import sys
import threading
import time

import numpy as np

import lumetra

PRESET = 3


class CvSize(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int)]


def direct_fx(libdir):
    """fx on a numpy picture through ctypes: an IplImage header over its buffer."""
    core = ctypes.CDLL(ctypes.util.find_library("opencv_core"))
    core.cvCreateImageHeader.restype = ctypes.c_void_p
    core.cvCreateImageHeader.argtypes = [CvSize, ctypes.c_int, ctypes.c_int]
    core.cvSetData.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int]
    library = ctypes.CDLL(os.path.join(libdir, "liblumetra.so"))
    library.fx.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int] + [ctypes.c_void_p] * 5

    def run(picture, preset=PRESET, vignette=None):
        header = core.cvCreateImageHeader(CvSize(picture.shape[1], picture.shape[0]), 8, 3)
        core.cvSetData(header, picture.ctypes.data, picture.strides[0])
        library.fx(header, header, preset, vignette, None, None, None, None)
        core.cvReleaseImageHeader(ctypes.byref(ctypes.c_void_p(header)))
    return run


def best_of(repeats, call):
    best = float("inf")
    for _ in range(repeats):
        started = time.perf_counter()
        call()
        best = min(best, time.perf_counter() - started)
    return best


def main():
    libdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(lumetra.__file__), "..")
    direct = direct_fx(libdir)
    rng = np.random.default_rng(1)
    big = rng.integers(0, 256, size=(3000, 4000, 3), dtype=np.uint8)

    module_time = best_of(7, lambda: lumetra.apply(big, preset=PRESET, out=big))
    c_time = best_of(7, lambda: direct(big))
    print(f"12 MP preset {PRESET}: module {module_time * 1e3:.1f} ms, direct C {c_time * 1e3:.1f} ms, "
          f"difference {100 * (module_time - c_time) / c_time:+.2f} %")

    tiny = rng.integers(0, 256, size=(1, 1, 3), dtype=np.uint8)
    calls = 20000
    fixed = best_of(5, lambda: [lumetra.apply(tiny, preset=PRESET, out=tiny) for _ in range(calls)]) / calls
    fresh = best_of(5, lambda: [lumetra.apply(tiny, preset=PRESET) for _ in range(calls)]) / calls
    direct_tiny = best_of(5, lambda: [direct(tiny) for _ in range(calls)]) / calls
    print(f"1x1 preset call: module in place {fixed * 1e6:.1f} us, with a new array {fresh * 1e6:.1f} us, "
          f"ctypes direct {direct_tiny * 1e6:.1f} us")
    # A call the library ends at once (a vignette with no loader): what is
    # left is the module's fixed cost.
    empty = best_of(5, lambda: [lumetra.apply(tiny, vignette="v", out=tiny) for _ in range(calls)]) / calls
    empty_fresh = best_of(5, lambda: [lumetra.apply(tiny, vignette="v") for _ in range(calls)]) / calls
    empty_direct = best_of(5, lambda: [direct(tiny, -1, b"v") for _ in range(calls)]) / calls
    print(f"1x1 call the library ends at once: module in place {empty * 1e6:.2f} us, with a new array "
          f"{empty_fresh * 1e6:.2f} us, ctypes direct {empty_direct * 1e6:.2f} us; module fixed cost over "
          f"a 12 MP call: {100 * empty / module_time:.4f} %")

    pictures = [rng.integers(0, 256, size=(1000, 1500, 3), dtype=np.uint8) for _ in range(2)]
    per_thread = 6

    def work(picture):
        for _ in range(per_thread):
            lumetra.apply(picture, preset=PRESET, out=picture)

    def threaded(count):
        threads = [threading.Thread(target=work, args=(pictures[i],)) for i in range(count)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
    one = per_thread / best_of(3, lambda: threaded(1))
    two = 2 * per_thread / best_of(3, lambda: threaded(2))
    print(f"1.5 MP calls per second: 1 thread {one:.1f}, 2 threads {two:.1f} ({two / one:.2f}x, "
          f"{os.cpu_count()} cores)")


if __name__ == "__main__":
    main()
