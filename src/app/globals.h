// The product information record, filled once from the product-settings file.
//
// GlobalVars holds nine texts read by ReadProductInfo (product_settings.h); each stays
// empty until then and when its key is missing. Nothing here reads files or fails.
#pragma once

#include <string>

namespace tess {

struct TGlobalVars {
    std::string Version;                       // [SYSTEM] Version
    std::string RightsHolder;                  // [SYSTEM] Copyright
    std::string SkinName;                      // [SYSTEM] SkinName
    std::string HelpContectLink;               // [SYSTEM] HelpContectLink
    std::string HelpHowTosTutorialVideosLink;  // [SYSTEM] HelpHowTosTutorialVideosLink
    std::string HelpHomePageLink;              // [SYSTEM] HelpHomePageLink
    std::string HelpMoreFreeToolsLink;         // [SYSTEM] HelpMoreFreeToolsLink
    std::string HelpCheckForUpdatesLink;       // [SYSTEM] HelpCheckForUpdatesLink
    std::string HelpSupportLink;               // [SYSTEM] HelpSupportLink
};

// Alive for the whole run; written by ReadProductInfo, read by the about box.
extern TGlobalVars GlobalVars;

}  // namespace tess
