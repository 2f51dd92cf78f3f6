#include "RuntimeOnline.h"

#include "PanelRuntime.h"
#include "PanelRuntimeState.h"
#include "PlcLink.h"

int RuntimeOnline::Start(const std::vector<uint8_t> &image, uint8_t modelId)
{
    m_pump.reset();
    const int result = script.Start(image, modelId, true);
    // After the engine's start, which clears the send hook: the pump installs its own.
    m_pump = std::make_unique<simplc::SimPlcLinkPump>(m_plc);
    runtime::ResetPollTable();
    runtime::StartOnlineLink();
    return result;
}

void RuntimeOnline::Step()
{
    m_pump->Step();
    script.Frame();
}

bool RuntimeOnline::RunUntil(const std::function<bool()> &pred, int maxSteps)
{
    for (int i = 0; i < maxSteps && !pred(); ++i)
        Step();
    return pred();
}

bool RuntimeOnline::RunUntilMenu(int maxSteps)
{
    return RunUntil(
        [] {
            const uint16_t state = runtime::EngineScreenState();
            return state != runtime::StateStartup && state != runtime::StateWaitPlc
                && runtime::ValuesPending == 0 && runtime::PlcDataValid == 1;
        },
        maxSteps);
}
