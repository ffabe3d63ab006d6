#include "statechart/cl_StateChartSystem.h"

#include "statechart/cl_SCLuaDataBinding.h"

cl_StateChartSystem::cl_StateChartSystem() : m_dataBinding(std::make_unique<cl_SCLuaDataBinding>()) {}

cl_StateChartSystem::~cl_StateChartSystem() = default;
