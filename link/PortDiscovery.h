#pragma once
// Start-up discovery shared by the analyzer and korvex-cli: the serial ports the tree shows,
// the ports named on the command line, and the modules the D2XX library can open directly.
#include <vector>

#include "link/CD2xxLibrary.h"
#include "link/CommandLinePorts.h"
#include "link/SerialPortDiscovery.h"

// Builds the lists and fixes the total port count. Loads the D2XX library if it is not
// loaded yet; without it the USB list is empty and nothing is reported (the serial list,
// or its error text, still stands).
CPortLists DiscoverPorts(const std::vector<CCommandLinePort>& commandLinePorts,
                         CD2xxLibrary& library = CD2xxLibrary::Shared());
