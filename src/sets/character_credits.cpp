#include "character_credits.h"

#include <algorithm>
#include <map>

#include "folder_layout.h"
#include "name_case.h"

namespace tessarin {

std::string SetImagePath(const SetState& state, int part, const std::string& file) {
  std::string path = state.partNames[static_cast<std::size_t>(part)];
  std::replace(path.begin(), path.end(), '\\', '/');
  return path + "/" + file;
}

std::vector<UsedImage> UsedImages(const SetState& state, const SetCredits& credits,
                                  const PartSelection& files) {
  std::vector<UsedImage> images;
  for (int k = 0; k < kPartCount; ++k) {
    if (state.partNames[k].empty() || files[k].empty()) continue;
    for (const int slot : {MainSlot(k), CompanionSlot(k)}) {
      const LayerSlot& layer = state.layers[static_cast<std::size_t>(slot)];
      if (layer.IsEmpty()) continue;
      // The name on disk, which may differ in case from the pick.
      const std::string file = PathToUtf8(PathFromUtf8(layer.loadedPath).filename());
      UsedImage image{SetImagePath(state, k, file), nullptr};
      image.credit = credits.For(image.file);
      images.push_back(std::move(image));
    }
  }
  return images;
}

std::vector<std::string> LicensedImages(const SetState& state, int part,
                                        std::vector<std::string> images, const SetCredits& credits,
                                        const std::vector<std::string>& allowed) {
  images.erase(std::remove_if(images.begin(), images.end(),
                              [&](const std::string& image) {
                                return !LicencesAllowed(
                                    credits.For(SetImagePath(state, part, image)), allowed);
                              }),
               images.end());
  return images;
}

std::vector<std::string> NamedLicences(const SetCredits& credits) {
  // Keyed by the lower-cased name: the first spelling met stands for all.
  std::map<std::string, std::string> named;
  for (const Credit& credit : credits.Entries()) {
    for (const std::string& licence : credit.licenses) {
      if (!licence.empty()) named.emplace(ToLowerCp932(licence), licence);
    }
  }
  std::vector<std::string> licences;
  for (auto& entry : named) licences.push_back(std::move(entry.second));
  return licences;
}

}  // namespace tessarin
