import os
import subprocess

import numpy as np
import pytest

import lumetra


@pytest.fixture(scope="session")
def host():
    """Runs the host program: host("apply", in, out, "--preset", "3")."""
    program = os.environ.get("LUMETRA_CLI")
    if not program:
        pytest.skip("LUMETRA_CLI names no host program")

    def run(*words):
        subprocess.run([program, *map(str, words)], check=True, capture_output=True)
    return run


def photo(height, width, channels=3, seed=0):
    """A picture with gradients and noise, so every tone path is taken."""
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:height, 0:width]
    base = np.stack([(x * 255 // max(width - 1, 1)), (y * 255 // max(height - 1, 1)), (x + y) % 256], axis=-1)
    noise = rng.integers(0, 40, size=(height, width, 3))
    picture = ((base + noise) % 256).astype(np.uint8)
    if channels == 4:
        alpha = rng.integers(0, 256, size=(height, width, 1), dtype=np.uint8)
        picture = np.concatenate([picture, alpha], axis=-1)
    return picture


@pytest.fixture(scope="session")
def pack(tmp_path_factory):
    """A picture pack with the one texture preset 33 names."""
    root = tmp_path_factory.mktemp("pack")
    for folder in ("textures", "vignettes", "frames"):
        (root / folder).mkdir()
    lumetra.write(str(root / "textures" / "Texturize1_1.jpg"), photo(40, 60, seed=7))
    return root
