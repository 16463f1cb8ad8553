#pragma once

#include <QString>

// Powers the machine off after a compositing run when the operator asked for
// it. Windows reach the system only through this, so tests hand in a fake
// and never switch a machine off.
class IShutdownService {
public:
    virtual ~IShutdownService() = default;
    // Asks the system to power off. False when it refused or could not be
    // asked, with the reason in error (when given).
    virtual bool PowerOff(QString* error) = 0;
};

// Asks systemd-logind on the system bus
// (org.freedesktop.login1.Manager.PowerOff), allowing it to ask the operator
// for authorisation.
class CLogindShutdownService final : public IShutdownService {
public:
    bool PowerOff(QString* error) override;
};

// What the operator is told when the machine could not be powered off.
extern const char* const kShutdownFailedMessage;
