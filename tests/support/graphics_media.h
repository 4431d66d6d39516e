#pragma once
// The graphics test's media as the build leaves them in bin/: every file there that is neither a
// program nor a library, subfolders included, so that media the scene adds later travel too.
#include <string>

// Copies the media of binDir into folder, keeping their paths below binDir. False when one failed.
bool CopyGraphicsTestMedia(const std::string& binDir, const std::string& folder);
