// The program's fixed identity, shared by both shells and the core.
#pragma once

namespace calcora {

inline constexpr const char* kAppId = "com.calcora.desktop";
inline constexpr const char* kDisplayName = "Calcora";
inline constexpr const char* kVersion = CALCORA_VERSION;
inline constexpr const char* kDatabaseFileName = "calcora.db";
inline constexpr const char* kStartupLogFileName = "startup.log";
inline constexpr const char* kExamplesDirName = "examples";

// The product's website: the only site the program opens in a browser and the
// default home of the proposal link service.
inline constexpr const char* kWebsiteDomain = "calcora.ru";
inline constexpr const char* kWebsiteWwwDomain = "www.calcora.ru";
// The website's own address (no path, no trailing slash): where the proposal link
// service lives unless CALCORA_SITE_URL points elsewhere.
inline constexpr const char* kWebsiteUrl = "https://calcora.ru";

}  // namespace calcora
