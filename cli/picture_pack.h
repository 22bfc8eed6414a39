// The host's picture pack: every texture, overlay, grain plate, vignette mask
// and frame the presets and frame specifications name, drawn by code from
// fixed seeds so that every run writes the same bytes.
//
// Layout (the one the loader reads):
//   DIR/textures/   kind 0: textures, overlays, masks and grain plates
//   DIR/vignettes/  kind 1: vignette masks
//   DIR/frames/     kind 2: frame pictures and pieces
//   DIR/apertures/  aperture shapes for the aperture tilt-shift (read by name)
#pragma once

#include <opencv2/core.hpp>

#include <functional>
#include <string>
#include <vector>

namespace cli::pack {

// A drawing before it is stored: colour as 32-bit float B, G, R in 0..1 and,
// for 4-channel files, the alpha (0 = clear, 1 = full cover) beside it.
struct Drawing {
    cv::Mat colour;  // CV_32FC3
    cv::Mat alpha;   // CV_32FC1, empty for 3-channel files
};

enum class Folder { textures, vignettes, frames, apertures };

struct PackPicture {
    Folder folder;
    std::string name;  // the file name exactly as scripts and specifications write it
    int channels;      // 3 where a recipe reads colour only, 4 where it reads alpha
    std::function<Drawing()> draw;
};

const char* folderName(Folder folder);

// Every picture of the pack, in a fixed order.
std::vector<PackPicture> packContents();
std::vector<PackPicture> texturePictures();
std::vector<PackPicture> vignettePictures();
std::vector<PackPicture> framePictures();
std::vector<PackPicture> aperturePictures();

// The drawing as the 8-bit BGR or BGRA picture that goes into the file.
cv::Mat toStoredPicture(const PackPicture& picture, const Drawing& drawing);

// Draws the whole pack into dir (folders created as needed). Fails with a
// Failure naming the file that could not be written.
void writePack(const std::string& dir);
// Draws only the given pictures, as writePack would.
void writePictures(const std::string& dir, const std::vector<PackPicture>& pictures);

}  // namespace cli::pack
