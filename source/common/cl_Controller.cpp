#include "common/cl_Controller.h"

#include "common/cl_ControllerManager.h"

cl_Controller::~cl_Controller()
{
    if (m_manager)
        m_manager->RemoveController(this);
}
