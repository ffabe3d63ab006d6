#pragma once

#include <string>

// Told when a setting it registered for changes (cl_Config::AddListener, per key).
class IPreferenceListener
{
public:
    virtual ~IPreferenceListener() = default;

    // live is true for a change made through cl_Config::SetValue and false for the announcements made
    // when the settings are loaded or saved. value is the setting's text, "" when it is absent.
    virtual void OnPreferenceChanged(const std::string& key, const std::string& value, bool live) = 0;
};
