// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Usage: librarystore_writer FOLDER FIRST
// Saves the numbered catalogues FIRST, FIRST + 1, ... as the kept library in FOLDER, one
// after another, printing each number once its save is over; the test kills it meanwhile.
#include "keptlibrary.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const LibraryStore store(QString::fromLocal8Bit(argv[1]));
    const int first = std::atoi(argv[2]);
    const pid_t parent = ::getppid();
    // A bound, and the test's end, stop it should the test not.
    for (int k = first; k < first + 1000 && ::getppid() == parent; ++k) {
        Catalogue catalogue;
        fillNumbered(catalogue, k);
        if (!store.save(numberedKey(), catalogue))
            return 1;
        std::printf("%d\n", k);
        std::fflush(stdout);
    }
    return 0;
}
