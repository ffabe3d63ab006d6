#pragma once

#include <cassert>

// Base of every subsystem singleton: the one instance registers itself while it lives.
// The application object creates and destroys the instances; everyone else only reaches them here.
template <class T> class ISingleton
{
public:
    ISingleton(const ISingleton&) = delete;
    ISingleton& operator=(const ISingleton&) = delete;

    // The living instance, or null before it was created and after it was destroyed.
    static T* GetInstance() { return s_instance; }

protected:
    ISingleton()
    {
        assert(s_instance == nullptr && "a singleton was created twice");
        s_instance = static_cast<T*>(this);
    }
    virtual ~ISingleton() { s_instance = nullptr; }

private:
    inline static T* s_instance = nullptr;
};
