#include "common/cl_Config.h"

#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/OgreConfigFile.h"
#include "common/SafeFileWrite.h"
#include "common/StringHelpers.h"
#include "common/XmlErrorLocation.h"
#include "common/XmlParse.h"
#include "platform/FatalError.h"

#include <OgreException.h>
#include <OgreRoot.h>
#include <OgreString.h>
#include <tinyxml.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace
{
const char* const ROOT_NAME = "config";
// Build-flavour suffix: a key + this element overrides the plain key.
const char* const FLAVOUR = "morvel";
const char* const BROKEN_SUFFIX = ".broken";

// OGRE's standardised path, except that "" stays "" (OGRE reads before the start of an empty string).
std::string StandardPath(const std::string& path)
{
    return path.empty() ? path : Ogre::StringUtil::standardisePath(path);
}

// The element's first text child (CDATA included), whatever nodes stand before it; null when none.
template <class Element> auto FirstText(Element& element) -> decltype(element.FirstChild()->ToText())
{
    for (auto* node = element.FirstChild(); node; node = node->NextSibling())
    {
        if (auto* text = node->ToText())
            return text;
    }
    return nullptr;
}

// Whether TinyXML reads name back as one element name; anything else would make the whole file unreadable.
bool IsElementName(const std::string& name)
{
    const auto isLetter = [](unsigned char c)
    { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80; };
    if (name.empty() || !(isLetter(name[0]) || name[0] == '_'))
        return false;
    return std::all_of(name.begin() + 1, name.end(),
                       [&](unsigned char c) {
                           return isLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' ||
                                  c == ':';
                       });
}

// Logs why the settings file at path gives no settings; returns where it is broken, in a few words.
std::string LogBrokenSettings(const std::string& path, const TiXmlDocument& document, const std::string& text)
{
    if (!document.Error())
    {
        LOG_ERROR("The settings file %s has no %s element", path.c_str(), ROOT_NAME);
        return Format("no %s element", ROOT_NAME);
    }
    const XmlErrorLocation location = LocateXmlError(document, text);
    const std::string where = Format("row %i col %i", location.row, location.column);
    LOG_ERROR("Couldn't read the settings file %s: %s (%s)", path.c_str(), document.ErrorDesc(),
              where.c_str());
    return where;
}

// Moves the broken settings file to path + ".broken", replacing an older one, and tells the player.
void KeepBrokenSettings(const std::string& path, const std::string& where)
{
    const std::string kept = path + BROKEN_SUFFIX;
    if (std::rename(path.c_str(), kept.c_str()) != 0)
    {
        LOG_ERROR("Couldn't move the broken settings file %s to %s: %s", path.c_str(), kept.c_str(),
                  std::strerror(errno));
        return;
    }
    platform::ShowWarning(
        Format("the settings file %s can't be read (%s); it was moved to %s, and saving the "
               "settings writes a new one.",
               path.c_str(), where.c_str(), kept.c_str()));
}

// Reads path into document and returns its `config` element. A missing file gives null quietly. A broken
// file or one without `config` root gives null, with the document emptied and a log line that says where
// it is broken. The file that a save overwrites (keepAside) is moved aside first, so that the player's
// settings are not lost.
TiXmlElement* ReadSettingsFile(const std::string& path, TiXmlDocument& document, bool keepAside)
{
    document.Clear();
    std::string text;
    if (!ReadFileText(path, text))
        return nullptr;
    ParseXml(document, text, path);
    if (!document.Error())
    {
        if (TiXmlElement* root = document.FirstChildElement(ROOT_NAME))
            return root;
    }
    const std::string where = LogBrokenSettings(path, document, text);
    document.Clear();
    if (keepAside)
        KeepBrokenSettings(path, where);
    return nullptr;
}
} // namespace

cl_Config::cl_Config(const std::string& userFolder, const std::string& workingFolder,
                     const std::string& dataRoot)
    : m_document(std::make_unique<TiXmlDocument>()), m_userFolder(StandardPath(userFolder)),
      m_workingFolder(StandardPath(workingFolder)), m_dataRoot(dataRoot)
{
}

cl_Config::~cl_Config() = default;

std::string cl_Config::GetValue(const std::string& key) const
{
    return GetValueRaw(m_root, key);
}

std::string cl_Config::GetValueRaw(const TiXmlElement* element, const std::string& key)
{
    if (!element)
        return std::string();
    const TiXmlElement* child = element->FirstChildElement(key + FLAVOUR);
    if (!child)
        child = element->FirstChildElement(key);
    if (!child)
        return std::string();
    const TiXmlText* text = FirstText(*child);
    return text ? text->ValueStr() : std::string();
}

void cl_Config::SetValue(const std::string& key, const std::string& value)
{
    if (!IsElementName(key))
    {
        LOG_ERROR("The setting '%s' can't be stored: its name is no XML element name", key.c_str());
        return;
    }
    EnsureRoot();
    SetElementValue(m_root, key, value);
    Notify(key, value, true);
    m_modified = true;
}

void cl_Config::SetElementValue(TiXmlElement* element, const std::string& key, const std::string& value)
{
    TiXmlElement* child = element->FirstChildElement(key);
    if (!child)
        child = element->LinkEndChild(new TiXmlElement(key))->ToElement();
    if (TiXmlText* text = FirstText(*child))
        text->SetValue(value);
    else
        child->LinkEndChild(new TiXmlText(value));
}

bool cl_Config::Load(const std::string& fileName)
{
    if (!fileName.empty())
        m_fileName = fileName;
    m_root = ReadSettingsFile(m_userFolder + m_fileName, *m_document, true);
    if (!m_root)
        m_root = ReadSettingsFile(m_workingFolder + m_fileName, *m_document, false);
    NotifyAll(nullptr, m_root);
    m_modified = false;
    return m_root != nullptr;
}

bool cl_Config::Save()
{
    if (m_fileName.empty())
    {
        LOG_ERROR("The settings can't be saved before a settings file was named");
        return false;
    }
    const std::string path = m_userFolder + m_fileName;
    TiXmlDocument stored;
    NotifyAll(ReadSettingsFile(path, stored, true), m_root);

    // OGRE's settings live beside ours; a failure to write them is logged and costs only them.
    if (Ogre::Root* ogre = Ogre::Root::getSingletonPtr())
        OgreConfigFile::Save(*ogre, m_userFolder + OgreConfigFile::NAME);

    // Without a settings file there is no root yet; the file written now gives the next start one.
    EnsureRoot();
    if (!WriteFileSafely(path, PrintXml(*m_document)))
        return false;
    m_modified = false;
    return true;
}

void cl_Config::AddListener(const std::string& key, IPreferenceListener* listener)
{
    m_listeners[key].push_back(listener);
}

void cl_Config::RemoveListener(const std::string& key, IPreferenceListener* listener)
{
    const auto entry = m_listeners.find(key);
    if (entry == m_listeners.end())
        return;
    std::vector<IPreferenceListener*>& listeners = entry->second;
    listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
    if (listeners.empty())
        m_listeners.erase(entry);
}

std::string cl_Config::GetUserFolder(const std::string& subFolder) const
{
    if (subFolder.empty())
        return m_userFolder;
    const std::string folder = StandardPath(m_userFolder + subFolder);
    CreateDirectories(folder); // logs a folder it cannot create; the path is still the answer
    return folder;
}

std::string cl_Config::GetGameDataPath() const
{
    return StandardPath(m_dataRoot + GetValue("gamedata"));
}

std::string cl_Config::GetPimbDataPath() const
{
    return StandardPath(m_dataRoot + GetValue("pimbdata"));
}

void cl_Config::EnsureRoot()
{
    if (m_root)
        return;
    m_document->Clear();
    m_document->LinkEndChild(new TiXmlDeclaration("1.0", "", ""));
    m_root = m_document->LinkEndChild(new TiXmlElement(ROOT_NAME))->ToElement();
}

void cl_Config::NotifyAll(const TiXmlElement* oldElement, const TiXmlElement* newElement)
{
    // Collected first: a listener may change the settings or the listener lists while it is told.
    std::vector<std::pair<std::string, std::string>> changes;
    for (const auto& entry : m_listeners)
    {
        std::string newValue = GetValueRaw(newElement, entry.first);
        if (GetValueRaw(oldElement, entry.first) != newValue)
            changes.emplace_back(entry.first, std::move(newValue));
    }
    for (const auto& change : changes)
        Notify(change.first, change.second, false);
}

void cl_Config::Notify(const std::string& key, const std::string& value, bool live)
{
    const auto entry = m_listeners.find(key);
    if (entry == m_listeners.end())
        return;
    // A copy, so listeners may add or remove listeners; one removed meanwhile is not told any more.
    const std::vector<IPreferenceListener*> listeners = entry->second;
    for (IPreferenceListener* listener : listeners)
    {
        if (IsListening(key, listener))
            listener->OnPreferenceChanged(key, value, live);
    }
}

bool cl_Config::IsListening(const std::string& key, const IPreferenceListener* listener) const
{
    const auto entry = m_listeners.find(key);
    return entry != m_listeners.end() &&
           std::find(entry->second.begin(), entry->second.end(), listener) != entry->second.end();
}
