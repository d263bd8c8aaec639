#pragma once
// korvex-cli ports: the serial ports and USB modules that start-up discovery finds, one a line:
//   serial  ttyUSB0  module  Ostwind USB Korvex Analyzer Device (ttyUSB0)
//   serial  ttyS0  -  ttyS0
//   usb  KX000123
#include <cstdio>

#include "cli/CliOptions.h"

struct CPortLists;

void PrintPortLists(const CPortLists& lists, std::FILE* pOut, std::FILE* pErr);

// Integration point with the link's start-up port discovery (DiscoverPorts): walks the tty
// tree, adds a --port of the command line, and loads the D2XX library for the USB modules.
// Returns the exit status (0; the discovery's own failure text goes to pErr).
int RunPortsCommand(const CliOptions& options, std::FILE* pOut, std::FILE* pErr);
