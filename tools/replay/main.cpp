// SPDX-License-Identifier: MIT
// nortavi-replay: runs the monitoring core from a scenario script against
// real files, with a hand-set clock, and prints one line per poll.
//
//   nortavi-replay [--keep] [SCENARIO]     (standard input when no file)

#include "ScenarioRunner.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

namespace {

std::filesystem::path MakeWorkFolder()
{
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto folder = base / ("nortavi-replay-" + std::to_string(random()));
        if (std::filesystem::create_directory(folder)) {
            return folder;
        }
    }
    throw std::runtime_error("cannot make a work folder in " + base.string());
}

int Usage()
{
    std::cerr << "usage: nortavi-replay [--keep] [SCENARIO]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    bool keep = false;
    std::string scenarioPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--keep") {
            keep = true;
        } else if (scenarioPath.empty() && arg.rfind("--", 0) != 0) {
            scenarioPath = arg;
        } else {
            return Usage();
        }
    }
    std::ifstream scenarioFile;
    if (!scenarioPath.empty()) {
        scenarioFile.open(scenarioPath);
        if (!scenarioFile) {
            std::cerr << "nortavi-replay: cannot open " << scenarioPath << '\n';
            return 2;
        }
    }
    std::istream& scenario = scenarioPath.empty() ? std::cin : scenarioFile;

    int status = 0;
    std::filesystem::path folder;
    try {
        folder = MakeWorkFolder();
        nortavi::ScenarioRunner runner(folder, std::cout);
        std::string line;
        for (int number = 1; std::getline(scenario, line); ++number) {
            try {
                runner.Run(line);
                // Each answer goes out at once, for a program that drives
                // the replay line by line.
                std::cout.flush();
            } catch (const nortavi::ScenarioError& error) {
                std::cout.flush();
                std::cerr << "nortavi-replay: line " << number << ": " << error.what() << '\n';
                status = 2;
                break;
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "nortavi-replay: " << error.what() << '\n';
        status = 2;
    }
    if (!folder.empty()) {
        if (keep) {
            std::cerr << "nortavi-replay: work folder kept: " << folder.string() << '\n';
        } else {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    }
    return status;
}
