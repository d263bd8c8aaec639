#pragma once
// The write-configuration command after its dialog: what the chosen values mean for the open
// port, what is stored and what is sent.
//   connected, same port, same CAN values -> nothing is sent
//   connected, same port, new bit time    -> send
//   not connected, or another port        -> open the chosen port, then send
#include "config/ModuleSettings.h"

class CModuleChannel;

enum class EConfigWrite { NOTHING, SEND, OPEN_AND_SEND };

// Same port mode and, for serial, the same port and rate; for USB the same module.
bool IsSamePort(const ModuleSettings& current, const ModuleSettings& chosen);
// A bit-timing word's reserved bits mean nothing to the module, so a stored word that carries
// them (as a module may report it) equals the clean word the dialog gives back.
EConfigWrite ConfigWriteStep(const ModuleSettings& current, const ModuleSettings& chosen, bool bConnected);
// The chosen port goes into the settings; the other port mode's fields keep theirs.
void StoreChosenPort(ModuleSettings& settings, const ModuleSettings& chosen);
// The chosen port and CAN values go into the settings.
void StoreChosenConfig(ModuleSettings& settings, const ModuleSettings& chosen);
// A run on a simulated module saves the user's own port, not the simulated one: a port chosen
// in the dialog becomes the user's, unless it is the simulated port (serial index nSimulatedPort).
void KeepUserPort(ModuleSettings& userPort, const ModuleSettings& chosen, int nSimulatedPort);
// ":Z" with the settings' mode byte, bit time, receive ID and mask ID.
void SendConfig(CModuleChannel& channel, const ModuleSettings& settings);
