// SPDX-License-Identifier: MIT
// Writes GetEXEPath() to the file named on its command line. The Windows
// tests copy this program to a drive root and to folders of their choosing
// and run the copies there.
#include "FileSystem.h"

#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << nortavi::GetEXEPath();
    return out.good() ? 0 : 1;
}
