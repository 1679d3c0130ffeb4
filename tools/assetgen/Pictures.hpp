#pragma once

#include <string>

namespace fennik::assetgen {

struct OutputPaths {
    std::string root;     // the asset tree, e.g. "assets"
    std::string fontFile; // the Open Sans face used for every caption

    std::string textures() const { return root + "/textures"; }
    std::string models() const { return root + "/models"; }
    std::string music() const { return root + "/music"; }
    std::string skybox() const { return root + "/textures/skybox"; }
    std::string icons() const { return root + "/icons"; } // installed into the hicolor theme
    // Other Open Sans weights sit next to the semibold one.
    std::string fontVariant(const std::string& weight) const;
};

// Title picture, loading backdrop, window icon and the menu button faces.
bool writeTitlePictures(const OutputPaths& paths);

} // namespace fennik::assetgen
