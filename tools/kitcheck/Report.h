// The kit report: a Markdown summary with one table per kit, a CSV file
// with one row per kit, sound and velocity, and one of the targets' measures.
#pragma once

#include "KitChecks.h"

#include <string>
#include <vector>

namespace kettrix::kitcheck {

bool writeMarkdownReport(const std::string& path, const std::vector<KitResult>& kits);
bool writeCsvReport(const std::string& path, const std::vector<KitResult>& kits);
// One row per kit and used sound: every measure the targets read.
bool writeMeasuresCsv(const std::string& path, const std::vector<KitResult>& kits);

}  // namespace kettrix::kitcheck
