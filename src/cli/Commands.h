#pragma once

class CliContext;

// The commands of sweepling-cli, one file each. Each answers the exit code:
// 0 success (nothing found, nothing failed), 1 threats found or something
// could not be removed, 2 bad arguments or an error.
int runScanCommand(CliContext &context);          // ScanCommand.cpp
int runSampleVolumeCommand(CliContext &context);  // SampleVolumeCommand.cpp
int runReportsCommand(CliContext &context);       // ReportsCommand.cpp
int runRemoveCommand(CliContext &context);        // RemoveCommand.cpp
int runCleanCommand(CliContext &context);         // CleanCommand.cpp
