// Shared pieces of the Python module: numpy pictures seen as IplImage
// headers, destinations, argument checks with the host program's messages,
// and the loader that serves a picture pack or a Python callable.
#pragma once

#include <opencv2/core/core_c.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "lumetra.h"

namespace binding {

namespace py = pybind11;

// A numpy uint8 picture (H, W, 3|4) seen by the library through an IplImage
// header over the array's own buffer: no copy. The array reference keeps the
// buffer alive while the header is used.
struct Picture {
    py::array array;
    IplImage header{};

    int width() const { return header.width; }
    int height() const { return header.height; }
    int channels() const { return header.nChannels; }
    IplImage* ipl() { return &header; }
    const IplImage* ipl() const { return &header; }
};

enum class Access { read, write };

// The picture `object` as a header; `channels` 0 accepts 3 or 4. Raises
// TypeError for a non-array and ValueError (naming `what` and what it must
// be) for a wrong dtype, shape, layout or a read-only destination.
Picture viewPicture(py::handle object, const char* what, Access access, int channels = 0);
// A new C-contiguous uint8 array of (height, width, channels).
py::array newPicture(int height, int width, int channels, bool zeroed = false);

// Where a call writes: a new array (filled with source) when `out` is None,
// else `out`, which must have source's shape and be source itself or share
// no memory with it. fillFromSource tells whether source must first be
// copied into it (done by the caller, outside the GIL).
struct Destination {
    Picture picture;
    bool fillFromSource = false;
};
Destination destinationFor(const Picture& source, py::handle out);
// Copies the pixels of `from` into `to` (same size and channel count).
void copyPixels(const IplImage& from, IplImage& to);

// The region (x, y, width, height) or nothing for None, in the host's ranges.
std::optional<EffectRegion> regionFrom(py::handle region);
// An integer argument (int or numpy integer), or TypeError naming `what`.
long long integerFrom(py::handle value, const char* what);
// `value` within low..high, or ValueError with the host program's message.
int checkedInt(long long value, const char* what, long low, long high);
double checkedNumber(double value, const char* what, double low, double high);

// The picture loader of one call: nothing (None), a picture pack folder
// (str or os.PathLike) or a callable (kind, name) -> array | None. The C
// callback never lets an exception out: the first one is kept and raised by
// finish(), which also turns missing pictures into warnings.
class Loader {
public:
    explicit Loader(py::handle pack);
    Loader(const Loader&) = delete;
    Loader& operator=(const Loader&) = delete;

    ImageLoaderFn function() const;
    void* userData();
    // After the library call, with the GIL held.
    void finish(const char* frameSpec);

private:
    static IplImage* LUMETRA_CALL callPython(int kind, const char* name, void* self);
    IplImage* loadFromCallable(int kind, const char* name);

    enum class Source { none, folder, callable } source_ = Source::none;
    cli::AssetFolder folder_;
    cli::FrameWatch watch_{&folder_, {}};
    py::object callable_;
    std::optional<py::error_already_set> error_;
};

void registerPictureFiles(py::module_& module);
void registerPhotoTools(py::module_& module);
void registerTiltShift(py::module_& module);

}  // namespace binding
