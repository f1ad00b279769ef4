// The content-security policy of the embedded page, shared by both shells.
#pragma once

namespace calcora {

// The desktop window serves the page under this custom scheme and host; keep both fixed,
// because the page's local storage is kept per origin.
inline constexpr const char* kPageScheme = "calcora";
inline constexpr const char* kPageOrigin = "calcora://app";

inline constexpr const char* kContentSecurityPolicy =
    "default-src 'self' calcora: blob: data:; "
    "connect-src 'self' calcora: http://localhost:* ws://localhost:* http://127.0.0.1:* ws://127.0.0.1:* "
    "https://calcora.ru https://www.calcora.ru; "
    "script-src 'self' 'unsafe-inline'; "
    "style-src 'self' 'unsafe-inline'; "
    "img-src 'self' calcora: blob: data:; "
    // No other site may show the page inside a frame of its own (clickjacking).
    "frame-ancestors 'none'";

}  // namespace calcora
