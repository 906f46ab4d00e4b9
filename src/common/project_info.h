// Where users find the project: one place for the addresses the programs show or open.
#pragma once

namespace survey {
inline constexpr const char* kProjectHomePage = "https://route-survey.example.org/";
inline constexpr const char* kContactAddress = "support@route-survey.example.org";
}  // namespace survey
