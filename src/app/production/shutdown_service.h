#pragma once

#include <QString>

#include <functional>

// Powers the machine off after a compositing run when the operator asked for
// it. Windows reach the system only through this, so tests hand in a fake
// and never switch a machine off.
class IShutdownService {
public:
    virtual ~IShutdownService() = default;
    // Called once with the system's answer: ok, or the reason it refused or
    // could not be asked (possibly empty).
    using Answer = std::function<void(bool ok, const QString& error)>;
    // Asks the system to power off and returns without waiting for it; the
    // answer comes later from the calling thread's event loop, or at once
    // when the system cannot be asked at all. It may arrive after the
    // service and its caller are gone: it must hold on to nothing of them.
    virtual void PowerOff(Answer answer) = 0;
};

// Asks systemd-logind on the system bus
// (org.freedesktop.login1.Manager.PowerOff) without interactive
// authorisation: a run finishing at night has nobody to type a password, so
// the machine is either allowed to power off or the refusal is shown at once.
class CLogindShutdownService final : public IShutdownService {
public:
    void PowerOff(Answer answer) override;
};

// What the operator is told when the machine could not be powered off.
extern const char* const kShutdownFailedMessage;
