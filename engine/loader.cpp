#include "engine/loader.h"

namespace lumetra {

OwnedImage PictureLoader::load(ImageKind kind, const std::string& name) const {
    if (!loadImage_ || name.empty()) return nullptr;
    OwnedImage picture(loadImage_(kind, name.c_str(), userData_));
    if (picture && !isBytePicture(picture.get())) picture.reset();
    return picture;
}

OwnedImage PictureLoader::loadUnlessNull(ImageKind kind, const std::string& name) const {
    if (name == "NULL") return nullptr;
    return load(kind, name);
}

}  // namespace lumetra
