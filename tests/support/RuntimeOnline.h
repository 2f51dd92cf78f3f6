// Runs a menu image online against the simulated PLC in-process, as the simulator
// window does with a port: RuntimeScript for the engine, SimPlcLinkPump for the line.
//
// Start() starts the engine online, empties the poll table and starts the link. Each
// Step() is one exchange on the line followed by one tick and one paint, so that the
// engine's queued writes and timers move on between replies.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "RuntimeScript.h"
#include "SimPlc.h"
#include "SimPlcLink.h"

class RuntimeOnline {
public:
    explicit RuntimeOnline(simplc::SimPlc &plc) : m_plc(plc) { }

    // Starts the image on the model online; returns EngineLoadImage's result.
    int Start(const std::vector<uint8_t> &image, uint8_t modelId);
    // One exchange, then a tick and a paint.
    void Step();
    // Steps until pred() holds, at most maxSteps; returns pred().
    bool RunUntil(const std::function<bool()> &pred, int maxSteps = 50);
    // Steps until the menu is shown and every row's value arrived.
    bool RunUntilMenu(int maxSteps = 50);

    RuntimeScript script;
    simplc::SimPlcLinkPump &Pump() { return *m_pump; }

private:
    simplc::SimPlc &m_plc;
    std::unique_ptr<simplc::SimPlcLinkPump> m_pump;
};
