#pragma once

#include <map>
#include <string>

class TiXmlElement;

// Lua scripts of a scene object's data, each kept under the name of the event that runs it.
class cl_EventTrigger
{
public:
    // ownerName: the object whose data this reads, named in warnings.
    explicit cl_EventTrigger(const std::string& ownerName);
    virtual ~cl_EventTrigger();
    cl_EventTrigger(const cl_EventTrigger&) = delete;
    cl_EventTrigger& operator=(const cl_EventTrigger&) = delete;

    // Keeps the text of every `script` child of element under its `event` (a later script of the same
    // event replaces the earlier one). A script without event or text is skipped with a warning. A null
    // element reads nothing.
    virtual void LoadFromXml(const TiXmlElement* element);

protected:
    // The script kept for the event, or null.
    const std::string* FindScript(const std::string& event) const;
    const std::string& GetOwnerName() const { return m_ownerName; }

private:
    std::string m_ownerName;
    std::map<std::string, std::string> m_scripts;
};
