#include "common/cl_ReceiverRegistration.h"

#include "common/cl_CommandDistributor.h"

cl_ReceiverRegistration::cl_ReceiverRegistration(cl_CommandDistributor& distributor, const std::string& name,
                                                 ICommandReceiver* receiver)
    : m_distributor(distributor), m_name(name), m_registered(distributor.RegisterCmdReceiver(name, receiver))
{
}

cl_ReceiverRegistration::~cl_ReceiverRegistration()
{
    if (m_registered)
        m_distributor.UnRegisterCmdReceiver(m_name);
}
