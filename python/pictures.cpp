// numpy pictures as IplImage headers over their own buffers, destinations,
// and the reading and writing of picture files.
#include <climits>
#include <cstring>
#include <sstream>

#include "python/binding.h"

namespace binding {

namespace {

std::string describe(const py::array& array) {
    std::ostringstream text;
    text << "got dtype " << py::str(array.dtype()).cast<std::string>() << ", shape (";
    for (py::ssize_t axis = 0; axis < array.ndim(); ++axis) text << (axis ? ", " : "") << array.shape(axis);
    text << (array.ndim() == 1 ? ",)" : ")");
    return text.str();
}

[[noreturn]] void refuse(const char* what, int channels, const std::string& detail) {
    const std::string shape = channels == 3 ? "(H, W, 3)" : channels == 4 ? "(H, W, 4)" : "(H, W, 3) or (H, W, 4)";
    throw py::value_error(std::string(what) + " must be a numpy uint8 array of shape " + shape +
                          ", B,G,R(,A) pixels contiguous within rows (rows may be padded); " + detail);
}

// First and one-past-last byte a picture spans.
std::pair<const char*, const char*> span(const IplImage& picture) {
    const char* first = picture.imageData;
    return {first, first + static_cast<std::ptrdiff_t>(picture.widthStep) * (picture.height - 1) +
                       static_cast<std::ptrdiff_t>(picture.width) * picture.nChannels};
}

}  // namespace

Picture viewPicture(py::handle object, const char* what, Access access, int channels) {
    if (!py::isinstance<py::array>(object))
        throw py::type_error(std::string(what) + " must be a numpy uint8 array, not " +
                             py::str(py::type::handle_of(object).attr("__name__")).cast<std::string>());
    Picture picture{py::reinterpret_borrow<py::array>(object)};
    const py::array& array = picture.array;
    const py::dtype dtype = array.dtype();
    if (dtype.kind() != 'u' || dtype.itemsize() != 1) refuse(what, channels, describe(array));
    if (array.ndim() != 3 || (array.shape(2) != 3 && array.shape(2) != 4) ||
        (channels != 0 && array.shape(2) != channels))
        refuse(what, channels, describe(array));
    const py::ssize_t height = array.shape(0), width = array.shape(1), depth = array.shape(2);
    if (height < 1 || width < 1) refuse(what, channels, "it has no pixels");
    const py::ssize_t rowBytes = width * depth;
    if (array.strides(2) != 1 || array.strides(1) != depth || array.strides(0) < rowBytes)
        refuse(what, channels, "its strides (" + std::to_string(array.strides(0)) + ", " +
                                   std::to_string(array.strides(1)) + ", " + std::to_string(array.strides(2)) +
                                   ") are not those of rows of packed pixels");
    if (array.strides(0) > INT_MAX / height) refuse(what, channels, "it spans more than 2 GiB");
    if (access == Access::write && !array.writeable()) refuse(what, channels, "it is read-only");

    IplImage& header = picture.header;
    cvInitImageHeader(&header, cvSize(static_cast<int>(width), static_cast<int>(height)), IPL_DEPTH_8U,
                      static_cast<int>(depth), IPL_ORIGIN_TL, 4);
    header.widthStep = static_cast<int>(array.strides(0));
    header.imageSize = header.widthStep * header.height;
    // The library never writes through a source; the cast only fits the header.
    header.imageData = header.imageDataOrigin = static_cast<char*>(const_cast<void*>(array.data()));
    return picture;
}

py::array newPicture(int height, int width, int channels, bool zeroed) {
    const std::vector<py::ssize_t> shape{height, width, channels};
    if (zeroed) return py::module_::import("numpy").attr("zeros")(shape, "uint8");
    return py::array(py::dtype::of<uint8_t>(), shape);
}

void copyPixels(const IplImage& from, IplImage& to) {
    const size_t rowBytes = static_cast<size_t>(from.width) * static_cast<size_t>(from.nChannels);
    for (int y = 0; y < from.height; ++y)
        std::memcpy(to.imageData + static_cast<std::ptrdiff_t>(y) * to.widthStep,
                    from.imageData + static_cast<std::ptrdiff_t>(y) * from.widthStep, rowBytes);
}

Destination destinationFor(const Picture& source, py::handle out) {
    if (out.is_none())
        return {viewPicture(newPicture(source.height(), source.width(), source.channels()), "out", Access::write),
                true};
    Destination destination{viewPicture(out, "out", Access::write, source.channels())};
    const IplImage& written = destination.picture.header;
    if (written.width != source.width() || written.height != source.height())
        throw py::value_error("out must have the picture's shape (" + std::to_string(source.height()) + ", " +
                              std::to_string(source.width()) + ", " + std::to_string(source.channels()) + ")");
    if (written.imageData == source.header.imageData && written.widthStep == source.header.widthStep)
        return destination;  // in place
    const auto [sourceFirst, sourceEnd] = span(source.header);
    const auto [outFirst, outEnd] = span(written);
    if (outFirst < sourceEnd && sourceFirst < outEnd)
        throw py::value_error("out must be the picture itself or share no memory with it");
    destination.fillFromSource = true;
    return destination;
}

int checkedInt(long long value, const char* what, long low, long high) {
    return cli::parseInt(std::to_string(value), what, low, high);
}

double checkedNumber(double value, const char* what, double low, double high) {
    if (!std::isfinite(value)) throw cli::UsageError(std::string(what) + " must be a number, not " + std::to_string(value));
    std::ostringstream text;
    text.precision(17);
    text << value;
    return cli::parseNumber(text.str(), what, low, high);
}

long long integerFrom(py::handle value, const char* what) {
    if (!PyIndex_Check(value.ptr()))
        throw py::type_error(std::string(what) + " must be an integer, not " +
                             py::str(py::type::handle_of(value).attr("__name__")).cast<std::string>());
    const long long result = PyLong_AsLongLong(py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr())).ptr());
    if (result == -1 && PyErr_Occurred()) {
        PyErr_Clear();
        throw py::value_error(std::string(what) + " is out of range");
    }
    return result;
}

std::optional<EffectRegion> regionFrom(py::handle region) {
    if (region.is_none()) return std::nullopt;
    if (!py::isinstance<py::sequence>(region) || py::len(region) != 4)
        throw py::type_error("region must be a sequence (x, y, width, height)");
    const py::sequence items = py::reinterpret_borrow<py::sequence>(region);
    long long values[4];
    for (size_t i = 0; i < 4; ++i) values[i] = integerFrom(items[i], "region values");
    EffectRegion result{};
    result.x = checkedInt(values[0], "region x", -1000000, 1000000);
    result.y = checkedInt(values[1], "region y", -1000000, 1000000);
    result.width = checkedInt(values[2], "region width", 1, 1000000);
    result.height = checkedInt(values[3], "region height", 1, 1000000);
    return result;
}

void registerPictureFiles(py::module_& module) {
    module.def(
        "read",
        [](const std::string& path) {
            cv::Mat photo;
            {
                py::gil_scoped_release released;
                photo = cli::readPhoto(path);
            }
            py::array result = newPicture(photo.rows, photo.cols, 3);
            Picture view = viewPicture(result, "result", Access::write);
            IplImage header = cvIplImage(photo);
            copyPixels(header, view.header);
            return result;
        },
        py::arg("path"),
        "read(path) -> numpy.ndarray\n\n"
        "Reads a picture file as the host program does: 8-bit B,G,R of shape (H, W, 3); grey, 16-bit and\n"
        "alpha are converted. Raises ValueError when the file is missing or cannot be decoded.");
    module.def(
        "write",
        [](const std::string& path, py::handle picture) {
            Picture view = viewPicture(picture, "picture", Access::read);
            const int type = view.channels() == 3 ? CV_8UC3 : CV_8UC4;
            const cv::Mat pixels(view.height(), view.width(), type, view.header.imageData,
                                 static_cast<size_t>(view.header.widthStep));
            py::gil_scoped_release released;
            cli::writePicture(path, pixels);
        },
        py::arg("path"), py::arg("picture"),
        "write(path, picture) -> None\n\n"
        "Writes a (H, W, 3) or (H, W, 4) uint8 picture; the format follows the extension. The file is written\n"
        "under a temporary name and renamed, so a failed write leaves no half-written file.");
}

}  // namespace binding
