// SPDX-License-Identifier: MIT
// nortavi-config-saver: saves config.ini in FOLDER over and over through the
// program's own save, alternating two complete settings, so that it can be
// killed at any moment of a save. STARTED-FILE is made once it runs.
//
//   nortavi-config-saver FOLDER STARTED-FILE
#include "ConfigFile.h"
#include "TortureData.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER STARTED-FILE\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    nortavi::ConfigFile config(folder);
    std::ofstream(argv[2]) << "started\n";
    // Killed long before this in a test; a saver left behind stops itself.
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes{2};
    for (bool second = true; std::chrono::steady_clock::now() < end; second = !second) {
        if (!config.SaveConfig(nortavi::torture::SaverSettings(folder, second))) {
            std::fprintf(stderr, "a save failed\n");
            return 1;
        }
    }
    return 0;
}
