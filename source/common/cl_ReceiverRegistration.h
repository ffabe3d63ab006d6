#pragma once

#include <string>

class ICommandReceiver;
class cl_CommandDistributor;

// Keeps a command receiver registered under its name for as long as this lives. A receiver holds one as
// a member, so it registers in its constructor and unregisters in its destructor. The distributor must
// outlive it.
class cl_ReceiverRegistration
{
public:
    // A name already taken keeps its first receiver (the distributor warns); this one then stays out and
    // removes nothing when it dies.
    cl_ReceiverRegistration(cl_CommandDistributor& distributor, const std::string& name,
                            ICommandReceiver* receiver);
    ~cl_ReceiverRegistration();
    cl_ReceiverRegistration(const cl_ReceiverRegistration&) = delete;
    cl_ReceiverRegistration& operator=(const cl_ReceiverRegistration&) = delete;

private:
    cl_CommandDistributor& m_distributor;
    std::string m_name;
    bool m_registered;
};
