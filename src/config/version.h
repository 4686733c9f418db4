#pragma once
// The version the station reports in its title lines and in the start and
// end entries of the history.
namespace k4 {
constexpr int kVersionMajor = 4;
constexpr int kVersionMinor = 2;
constexpr int kVersionRelease = 13;
} // namespace k4
