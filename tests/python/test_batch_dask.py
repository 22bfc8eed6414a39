"""The Dask batch script on a local cluster of 2 workers, against the host program."""
import os
import pathlib
import subprocess
import sys

import numpy as np

import lumetra
from conftest import photo

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "examples" / "batch_dask.py"


def test_batch_on_two_workers_equals_host(host, tmp_path):
    photos, restyled, expected = tmp_path / "in", tmp_path / "out", tmp_path / "host"
    photos.mkdir()
    expected.mkdir()
    for index in range(20):
        lumetra.write(str(photos / f"photo{index:02}.png"), photo(30 + index, 40, seed=index))
    (photos / "broken.png").write_bytes(b"not a picture")
    run = subprocess.run([sys.executable, str(SCRIPT), str(photos), str(restyled), "--preset", "12",
                          "--workers", "2", "--chunk", "8"], capture_output=True, text=True, timeout=120)
    assert run.returncode == 1, run.stderr
    assert "20 restyled, 1 failed" in run.stdout
    assert "broken.png" in run.stderr
    for index in range(20):
        name = f"photo{index:02}.png"
        host("apply", photos / name, expected / name, "--preset", "12")
        assert np.array_equal(lumetra.read(str(restyled / name)), lumetra.read(str(expected / name))), name
