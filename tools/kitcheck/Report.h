// The kit report: a Markdown summary with one table per kit, and a CSV file
// with one row per kit, sound and velocity.
#pragma once

#include "KitChecks.h"

#include <string>
#include <vector>

namespace kettrix::kitcheck {

bool writeMarkdownReport(const std::string& path, const std::vector<KitResult>& kits);
bool writeCsvReport(const std::string& path, const std::vector<KitResult>& kits);

}  // namespace kettrix::kitcheck
