#pragma once

#include "ISingleton.h"

#include <memory>

class cl_SCLuaDataBinding;

// Owns the program's one data binding of state charts and hands it out. It keeps no charts: the asset
// logics' interpreters hold the templates (StateChartTemplate::LoadShared). Interpreters keep a
// plain pointer to the binding, so the system must outlive every asset logic; the script system must
// outlive the system.
class cl_StateChartSystem : public ISingleton<cl_StateChartSystem>
{
public:
    cl_StateChartSystem();
    ~cl_StateChartSystem() override;

    // Never null while the system lives; owned by it. The concrete type, so that the pool manager can
    // disable it while it reloads or restores the pools.
    cl_SCLuaDataBinding* GetDataBinding() const { return m_dataBinding.get(); }

private:
    std::unique_ptr<cl_SCLuaDataBinding> m_dataBinding;
};
