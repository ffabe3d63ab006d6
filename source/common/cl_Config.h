#pragma once

#include "ISingleton.h"
#include "common/IPreferenceListener.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TiXmlDocument;
class TiXmlElement;

// The player's settings: an XML document (root `config`, one child element per key, the value as its
// text) read from the user folder or else the working folder and always written to the user folder.
// A key + "morvel" element, when present, decides a key's value over the plain element.
// Also hands out the folders the program works in. Main thread only; listeners run on the caller's stack.
class cl_Config : public ISingleton<cl_Config>
{
public:
    // The folders are standardised (forward slashes, trailing slash). dataRoot is put in front of the
    // "gamedata" and "pimbdata" settings as it stands ("" leaves them relative to the working directory).
    cl_Config(const std::string& userFolder, const std::string& workingFolder, const std::string& dataRoot);
    ~cl_Config() override;

    // The setting's text with the flavour rule; "" when the key is absent or nothing is loaded.
    std::string GetValue(const std::string& key) const;
    // The key + "morvel" child's text when that child exists, else the key child's text, else "".
    // A null element or a child without text gives "".
    static std::string GetValueRaw(const TiXmlElement* element, const std::string& key);

    // Stores the value under the plain key (a flavoured element of the key still decides GetValue), tells
    // the key's listeners with live true and marks the settings modified. Creates an empty `config` root
    // when none was loaded. A key that is no XML element name would break the file: logged and refused.
    void SetValue(const std::string& key, const std::string& value);
    // Sets the text of element's first child named key (appended when missing).
    static void SetElementValue(TiXmlElement* element, const std::string& key, const std::string& value);

    // Reads user folder + fileName, or else working folder + fileName (an empty fileName reuses the last
    // one). A file that is broken or has no `config` root is logged and counts as missing; in the user
    // folder it is moved to fileName + ".broken" first (see Save). Every listened
    // key with a non-empty value is then announced (live false); unsaved changes are lost. Returns whether
    // a settings file was read.
    bool Load(const std::string& fileName);
    // Announces (live false) the listened keys whose value differs from the file stored in the user folder
    // (a stored file that is broken is moved aside to fileName + ".broken", never overwritten),
    // lets OGRE save its own configuration when OGRE runs, and writes the settings to the user folder
    // (the old file survives a failed write). Returns whether the settings file was written; the settings
    // stay modified when it was not.
    bool Save();
    bool IsModified() const { return m_modified; }

    // Listeners are not owned and are told in registration order; each must remove itself (from every key
    // it registered for) before it is destroyed. Removing drops every entry of the listener for the key.
    void AddListener(const std::string& key, IPreferenceListener* listener);
    void RemoveListener(const std::string& key, IPreferenceListener* listener);

    // The user folder for an empty subFolder; else the standardised user folder + subFolder, created
    // when missing (a failure to create it is logged; the path is returned all the same).
    std::string GetUserFolder(const std::string& subFolder) const;
    const std::string& GetWorkingFolder() const { return m_workingFolder; }
    // Standardised data root + the "gamedata" / "pimbdata" setting; "" when both are empty.
    std::string GetGameDataPath() const;
    std::string GetPimbDataPath() const;

private:
    void EnsureRoot();
    // Tells the listeners of every listened key whose value differs between the two elements (live false).
    void NotifyAll(const TiXmlElement* oldElement, const TiXmlElement* newElement);
    void Notify(const std::string& key, const std::string& value, bool live);
    bool IsListening(const std::string& key, const IPreferenceListener* listener) const;

    std::map<std::string, std::vector<IPreferenceListener*>> m_listeners;
    std::unique_ptr<TiXmlDocument> m_document;
    std::string m_fileName;
    std::string m_userFolder;
    std::string m_workingFolder;
    std::string m_dataRoot;
    TiXmlElement* m_root = nullptr; // the `config` element inside m_document
    bool m_modified = false;
};
