#include "support/FunctionReceiver.h"

#include <utility>

FunctionReceiver::FunctionReceiver(cl_CommandDistributor& distributor, const std::string& name,
                                   Handler handler)
    : m_handler(std::move(handler)), m_registration(distributor, name, this)
{
}
