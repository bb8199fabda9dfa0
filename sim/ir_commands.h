#pragma once
// remote-sim send and replay: infrared protocols fired at the remote, and what its keys send.

class RemoteSimCommands;

void AddIrCommands(RemoteSimCommands& commands);
