#pragma once
#include <string>
#include <vector>

/// `corvala convert FILE|FOLDER... [options]` (see ConvertArguments::usage()).
/// Returns the exit status: 0 all converted, 1 some failed, 2 usage or
/// page-range error, 3 output folder unusable, 130 interrupted.
int corvalaConvert(const std::vector<std::string>& args);
/// `corvala formats`: the format keys with their display names and what they write.
int corvalaFormats();
