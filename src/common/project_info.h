#pragma once
namespace survey { inline constexpr const char* kProjectHomePage = "https://route-survey.example.org/"; inline constexpr const char* kContactAddress = "support@route-survey.example.org"; }
