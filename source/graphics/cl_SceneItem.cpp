#include "graphics/cl_SceneItem.h"

#include "assets/ISyncedActionInitiator.h"
#include "common/LogCall.h"
#include "common/cl_SyncManager.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_AutoActionControl.h"
#include "graphics/cl_AutoAnimationControl.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_IdleAnimationControl.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_SpecialAnimationControl.h"

#include <tinyxml.h>

#include <set>

namespace
{
// The node a play position names: "avatar" the current character's, else the current scene's node.
Ogre::SceneNode* FindPlayNode(const std::string& position)
{
    if (position == "avatar")
    {
        const cl_GameComponents* hub = cl_GameComponents::GetInstance();
        const cl_Character* character = hub ? hub->GetCurrentCharacter() : nullptr;
        return character ? character->GetSceneNode() : nullptr;
    }
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    const cl_Scene* scene = scenes ? scenes->GetLoadedScene() : nullptr;
    return scene && scene->GetSceneManager() ? scene->GetSceneNode(position) : nullptr;
}
} // namespace

cl_SceneItem::cl_SceneItem(Ogre::SceneManager& sceneManager, const std::string& name)
    : cl_SceneObject(sceneManager, name)
{
}

cl_SceneItem::~cl_SceneItem()
{
    // The puppet outlives this part of the item: its controls must not report here any more.
    if (cl_ControlledPuppet* puppet = GetPuppet())
    {
        for (const std::string& name : puppet->GetControlNames())
        {
            cl_PuppetControl* control = puppet->GetControl(name);
            if (control && control->GetListener() == this)
                control->SetListener(nullptr);
        }
    }
}

void cl_SceneItem::SaveVisualState(TiXmlElement& element) const
{
    cl_SceneObject::SaveVisualState(element);
    std::set<std::string> states;
    if (m_idleControl)
        m_idleControl->CollectVisualStates(states);
    if (m_autoActionControl)
        m_autoActionControl->CollectVisualStates(states);
    if (m_autoAnimationControl)
        m_autoAnimationControl->CollectVisualStates(states);
    for (const TiXmlElement* vs = element.FirstChildElement("vs"); vs; vs = vs->NextSiblingElement("vs"))
    {
        if (const char* name = vs->Attribute("name"))
            states.erase(name);
    }
    for (const std::string& state : states)
    {
        TiXmlElement vs("vs");
        vs.SetAttribute("name", state);
        element.InsertEndChild(vs);
    }
}

void cl_SceneItem::PlayAnimation(const std::string& animation, const std::string& position,
                                 const Ogre::Vector3& offset, const Ogre::Quaternion& rotation,
                                 ISyncedActionInitiator* initiator)
{
    Ogre::SceneNode* node = FindPlayNode(position);
    if (!node)
    {
        LOG_WARNING("PlayAnimation couldn't find the position '%s' to play animation '%s' at!",
                    position.c_str(), animation.c_str());
        if (initiator)
            initiator->OnDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    PlayAt(animation, st_ObjectPlacement{node, offset, rotation}, initiator);
}

void cl_SceneItem::StartAnimation(const std::string& animation, ISyncedActionInitiator* initiator)
{
    PlayAt(animation, GetPlacement(), initiator);
}

void cl_SceneItem::PlayAt(const std::string& animation, const st_ObjectPlacement& placement,
                          ISyncedActionInitiator* initiator)
{
    EndAction(ISyncedActionInitiator::RESULT_ABORTED);
    if (!m_specialControl)
    {
        if (initiator)
            initiator->OnDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    m_initiator = initiator;
    m_startPending = true;
    m_playPlacement = placement;
    m_savedActive = GetPuppet()->IsActive();
    SetActive(true);

    if (cl_SyncManager* sync = cl_SyncManager::GetInstance())
        sync->ReleaseToken(m_specialControl->GetSyncToken());
    if (initiator && initiator->HasSyncToken())
        m_specialControl->SetSyncToken(initiator->GetSyncToken());
    m_specialControl->SetCallbackPending(true);
    m_specialControl->PlayAnimation(animation);
}

void cl_SceneItem::StopAnimation()
{
    if (m_specialControl)
        m_specialControl->Stop();
}

void cl_SceneItem::AbortAll()
{
    StopAnimation();
    if (cl_ControlledPuppet* puppet = GetPuppet())
        puppet->ResetControls();
}

void cl_SceneItem::SetActive(bool active)
{
    const cl_ControlledPuppet* puppet = GetPuppet();
    if (!puppet || puppet->IsActive() == active)
        return;
    if (!active)
    {
        EndAction(ISyncedActionInitiator::RESULT_ABORTED);
        if (m_specialControl)
            m_specialControl->SetCallbackPending(false);
    }
    cl_SceneObject::SetActive(active);
}

void cl_SceneItem::BeforeExternalPlacement()
{
    m_moved = false;
    if (m_initiator)
        LOG_WARNING("External call to SetLocation while processing an action!");
}

void cl_SceneItem::SetLocation(Ogre::SceneNode* node)
{
    BeforeExternalPlacement();
    cl_SceneObject::SetLocation(node);
}

void cl_SceneItem::SetLocation(const std::string& locationName)
{
    BeforeExternalPlacement();
    cl_SceneObject::SetLocation(locationName);
}

bool cl_SceneItem::SetLocation(const st_ObjectPlacement& placement)
{
    BeforeExternalPlacement();
    return cl_SceneObject::SetLocation(placement);
}

void cl_SceneItem::ReturnFromPlayPlacement()
{
    if (!m_moved)
        return;
    RestorePlacement();
    m_moved = false;
}

void cl_SceneItem::OnControlEvent(cl_PuppetControl* control, int code)
{
    const bool special = control && control == m_specialControl;
    if (code == CODE_STARTED)
    {
        if (special)
        {
            ReturnFromPlayPlacement();
            if (GetPlacement().parent != m_playPlacement.parent)
            {
                cl_SceneObject::SetLocation(m_playPlacement);
                m_moved = true;
            }
        }
        if (m_startPending)
        {
            m_startPending = false;
            if (m_initiator)
                m_initiator->OnStarted();
        }
        return;
    }
    int result = 0;
    if (code == CODE_DONE)
        result = ISyncedActionInitiator::RESULT_FINISHED;
    else if (code == CODE_FAILED)
        result = ISyncedActionInitiator::RESULT_FAILED;
    else if (code == CODE_STOPPED)
        result = ISyncedActionInitiator::RESULT_ABORTED;
    else
        return;
    if (special)
        ReturnFromPlayPlacement();
    cl_SceneObject::SetActive(m_savedActive);
    EndAction(result);
}

void cl_SceneItem::EndAction(int result)
{
    ISyncedActionInitiator* initiator = m_initiator;
    m_initiator = nullptr;
    m_startPending = false;
    if (initiator)
        initiator->OnDone(result);
}
