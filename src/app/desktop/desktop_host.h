#pragma once

#include "store/data_module.h"

// The desktop's answers to the data module: message boxes and the login windows.
class DesktopHost : public DataModuleHost {
public:
    void ShowMessage(const QString& text) override;
    void ShowNotice(const QString& text) override;
    bool RunFirstTimeSetup(TdmBancoDeDados& dm) override;
    bool RunLogin(TdmBancoDeDados& dm) override;
    void TerminateApplication() override { m_terminated = true; }
    bool Terminated() const { return m_terminated; }

private:
    bool m_terminated = false;
};
