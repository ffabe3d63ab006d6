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
    static T* GetInstance() { return static_cast<T*>(s_instance); }

protected:
    ISingleton()
    {
        assert(s_instance == nullptr && "a singleton was created twice");
        // Kept as the base: the object is not a T yet while this constructor runs.
        s_instance = this;
    }
    virtual ~ISingleton() { s_instance = nullptr; }

private:
    inline static ISingleton* s_instance = nullptr;
};
