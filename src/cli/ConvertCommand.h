#pragma once
#include <string>
#include <vector>

/// `corvala convert FILE... [-f FORMAT] [-p RANGE] [-o OUTDIR] [--password-stdin]`.
/// Returns the process exit status: 0 all converted, 1 any file failed,
/// 2 usage error, 130 cancelled.
int corvalaConvert(const std::vector<std::string>& args);
/// `corvala formats`: the format keys with their display names.
int corvalaFormats();
