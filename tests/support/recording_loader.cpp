#include "support/recording_loader.h"

#include "support/pictures.h"

namespace lumetra::test {

void RecordingLoader::serve(const std::string& name, OwnedImage picture) { pictures_[name] = std::move(picture); }

void RecordingLoader::serveAll(const std::vector<std::string>& names, int channels, int width, int height) {
    for (const std::string& name : names) serve(name, makePicture(width, height, channels));
}

std::vector<std::string> RecordingLoader::names() const {
    std::vector<std::string> result;
    for (const LoaderCall& call : calls) result.push_back(call.name);
    return result;
}

IplImage* LUMETRA_CALL RecordingLoader::load(int kind, const char* name, void* userData) {
    auto* self = static_cast<RecordingLoader*>(userData);
    self->calls.push_back({kind, name, userData});
    const auto found = self->pictures_.find(name);
    if (found == self->pictures_.end()) return nullptr;
    return cvCloneImage(found->second.get());
}

}  // namespace lumetra::test
