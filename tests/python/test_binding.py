"""The Python module against the host program, byte for byte, and its refusals."""
import threading

import numpy as np
import pytest

import lumetra
from conftest import photo


def host_result(host, tmp_path, picture, command, *words, layer=()):
    source, result = tmp_path / "in.png", tmp_path / "out.png"
    lumetra.write(str(source), picture)
    host(command, source, *layer, result, *words)
    return lumetra.read(str(result))


@pytest.mark.parametrize("words, arguments", [
    (["--preset", "3"], dict(preset=3)),
    (["--preset", "33"], dict(preset=33)),  # a texture from the pack
    (["--preset", "0", "--region", "-5,4,40,30"], dict(preset=0, region=(-5, 4, 40, 30))),
])
def test_apply_equals_host(host, tmp_path, pack, words, arguments):
    picture = photo(23, 31)
    expected = host_result(host, tmp_path, picture, "apply", *words, "--assets", pack)
    assert np.array_equal(lumetra.apply(picture, pack=pack, **arguments), expected)
    # The same picture served by a callable instead of the folder.
    texture = lumetra.read(str(pack / "textures" / "Texturize1_1.jpg"))
    served = lambda kind, name: texture if (kind, name) == (lumetra.KIND_TEXTURE, "Texturize1_1.jpg") else None
    assert np.array_equal(lumetra.apply(picture, pack=served, **arguments), expected)


def test_blend_adjust_and_smooth_equal_host(host, tmp_path):
    picture, layer = photo(17, 26), photo(9, 13, seed=3)
    lumetra.write(str(tmp_path / "layer.png"), layer)
    expected = host_result(host, tmp_path, picture, "blend", "--mode", "overlay", "--opacity", "70",
                           layer=[tmp_path / "layer.png"])
    assert np.array_equal(lumetra.blend(picture, layer, "overlay", 70), expected)
    expected = host_result(host, tmp_path, picture, "adjust", "--brightness", "30", "--contrast", "20")
    assert np.array_equal(lumetra.ColorMap().brightness(30).contrast(20).render(picture), expected)
    expected = host_result(host, tmp_path, picture, "adjust", "--smooth", "2,-60,3")
    assert np.array_equal(lumetra.smooth(picture, 2, -60, 3), expected)


def test_padded_rows_and_in_place_match_a_packed_copy():
    wide = photo(21, 40)
    view = wide[:, 3:30]  # rows padded: stride 120 bytes for 81 of pixels
    expected = lumetra.apply(np.ascontiguousarray(view), preset=5)
    assert np.array_equal(lumetra.apply(view, preset=5), expected)
    untouched = wide.copy()
    lumetra.apply(view, preset=5, out=view)
    assert np.array_equal(view, expected)
    assert np.array_equal(wide[:, :3], untouched[:, :3]) and np.array_equal(wide[:, 30:], untouched[:, 30:])
    target = np.zeros_like(expected)
    assert lumetra.apply(view.copy(), preset=5, out=target) is target


def test_four_channel_blend_keeps_alpha_accumulation_in_place():
    base, layer = photo(6, 5, channels=4), photo(4, 4, seed=2)
    expected = lumetra.blend(base, layer, "screen", 50)
    assert expected.shape == (6, 5, 4)
    lumetra.blend(base, layer, "screen", 50, out=base)
    assert np.array_equal(base, expected)


def test_refusals_say_what_the_array_must_be():
    picture = photo(8, 8)
    refused = [
        picture.astype(np.float32),        # dtype
        picture[:, :, 0],                  # shape
        np.zeros((8, 8, 5), np.uint8),     # channels
        picture[:, ::2],                   # columns not packed
        picture[::-1],                     # negative row stride
        np.zeros((0, 8, 3), np.uint8),     # no pixels
    ]
    for bad in refused:
        with pytest.raises(ValueError, match="must be a numpy uint8 array of shape"):
            lumetra.apply(bad, preset=1)
    with pytest.raises(TypeError):
        lumetra.apply(picture.tolist(), preset=1)
    read_only = picture.copy()
    read_only.flags.writeable = False
    with pytest.raises(ValueError, match="read-only"):
        lumetra.apply(picture, preset=1, out=read_only)
    with pytest.raises(ValueError, match="share no memory"):
        lumetra.apply(picture[1:], preset=1, out=picture[:-1])
    with pytest.raises(ValueError, match=r"preset must be in 0\.\.152, not 153"):
        lumetra.apply(picture, preset=153)
    with pytest.raises(ValueError, match="nothing to do"):
        lumetra.apply(picture)
    with pytest.raises(ValueError, match="unknown blend mode 'glow'"):
        lumetra.blend(picture, picture, "glow", 50)
    with pytest.raises(TypeError):
        lumetra.apply(picture, preset="3")


def test_a_loader_that_raises_reaches_the_caller_and_leaves_out_alone():
    picture = photo(10, 12)
    out = np.zeros_like(picture)
    calls = []

    def loader(kind, name):
        calls.append(name)
        raise KeyError(name)
    with pytest.raises(KeyError, match="Texturize1_1.jpg"):
        lumetra.apply(picture, preset=33, pack=loader)
    assert calls == ["Texturize1_1.jpg"]
    with pytest.raises(ValueError, match="the loader's picture for 'Texturize1_1.jpg' must be"):
        lumetra.apply(picture, preset=33, pack=lambda kind, name: np.zeros((4, 4), np.uint8), out=out)
    with pytest.warns(UserWarning, match="is missing or unreadable"):
        lumetra.apply(picture, preset=33, pack="/nonexistent-pack")


def test_four_threads_give_the_bytes_of_one():
    pictures = [photo(64, 48, seed=seed) for seed in range(4)]
    expected = [lumetra.apply(p, preset=20 + i) for i, p in enumerate(pictures)]
    results = [None] * 4

    def work(i):
        for _ in range(5):
            results[i] = lumetra.apply(pictures[i], preset=20 + i)
    threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert all(np.array_equal(r, e) for r, e in zip(results, expected))


def test_tilt_shift_contexts_close():
    picture = photo(24, 32)
    with lumetra.TiltShift(picture) as shift:
        sharp_centre = shift.disc(0.5, 16, 12, 3, 10)
        preview = shift.even(0.5, region=(0, 0, 16, 12))
    assert sharp_centre.shape == picture.shape and preview.shape == (12, 16, 3)
    assert not np.array_equal(sharp_centre[0], preview[0, :0])
    with pytest.raises(ValueError, match="closed"):
        shift.even(0.5)
    shape = np.zeros((5, 5, 3), np.uint8)
    shape[:, :, 1] = 255
    with lumetra.ApertureTiltShift(picture, shape, 0.1) as aperture:
        assert aperture.line(0, 0, 31, 23, 2, 8).shape == picture.shape
    with pytest.raises(ValueError, match="no green"):
        lumetra.ApertureTiltShift(picture, np.zeros((5, 5, 3), np.uint8), 0.1)
