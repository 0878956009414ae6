#pragma once

// Who makes Scoutwell and how to reach them: chosen once here, shown by the
// splash and the help window.

inline constexpr wchar_t MakerName[] = L"Scoutwell Software";
// For the splash's first line, which reads as "<maker>'s" above the product's name.
inline constexpr wchar_t MakerNamePossessive[] = L"Scoutwell Software's";
inline constexpr wchar_t CopyrightLine[] = L"Copyright (C) 2026 Scoutwell Software";
inline constexpr wchar_t ContactAddress[] = L"support@scoutwell.example";
inline constexpr wchar_t HomePageUrl[] = L"http://www.scoutwell.example/";

// The splash's fixed lines (its platform line names the system it runs on). The version line is a text of its
// own, not taken from the build's version number.
inline constexpr wchar_t SplashProductName[] = L"Scoutwell";
inline constexpr wchar_t SplashVersionLine[] = L"Version 2.05";
