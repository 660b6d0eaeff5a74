// The page's style sheet (page.css) and script (rules.js, then page.js),
// embedded at build time by EmbedPageAssets.cmake, each with the base64
// SHA-256 of its bytes that the page's Content-Security-Policy names.
#pragma once

#include <string_view>

struct PageAsset {
    std::string_view utf8;
    const char* sha256Base64;
};

const PageAsset& pageStyle();
const PageAsset& pageScript();
