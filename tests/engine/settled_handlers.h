#pragma once
#include "engine/uniset.h"

// Puts stand-ins into the slots of the start-up handlers (link watcher,
// power, error mode, maker, model, SIM PIN, registration) that report the
// state a finished start-up leaves: answering and settled, full power,
// identified, SIM ready, registered, nobody waiting. They send nothing.
// For tests of the container and the engine that are not about the
// start-up, and for tests of one start-up handler (`except`, a slot of
// VPerifModem, keeps its real handler).
void InstallSettledStartup(VUniSET& engine, int except = -1);

// The same for the status handlers that follow the start-up (operator,
// signal, clock, alarm) and the SMS handler: an operator selected and
// settled, the values known or resolved, the SMS settings made, nobody
// waiting, nothing sent.
void InstallSettledStatus(VUniSET& engine);

// The call handler with its settings known and no call: it sends nothing.
void InstallSettledCalls(VUniSET& engine);
