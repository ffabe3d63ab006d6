#pragma once

class cl_ControllerManager;

// A small named object of a scene that keeps something of the 3D world in step with the game. The
// controller manager owns it while it holds it; deleting a controller takes it out of its manager.
class cl_Controller
{
public:
    cl_Controller(const cl_Controller&) = delete;
    cl_Controller& operator=(const cl_Controller&) = delete;
    virtual ~cl_Controller();

    // The manager that holds it, or null.
    cl_ControllerManager* GetManager() const { return m_manager; }

protected:
    cl_Controller() = default;

private:
    friend class cl_ControllerManager;
    cl_ControllerManager* m_manager = nullptr;
};
