#include "graphics/cl_SceneObject.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlName.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_PuppetControl.h"
#include "graphics/cl_PuppetEventTrigger.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <tinyxml.h>

#include <cstdio>

namespace
{
const char* TrueOrFalse(bool value)
{
    return value ? "true" : "false";
}

bool IsTrue(const char* text)
{
    return text && std::string(text) == "true";
}

// The sub-entity of that index of the entity, or null.
Ogre::SubEntity* SubEntityOf(Ogre::Entity* entity, unsigned int index)
{
    return entity && index < entity->getNumSubEntities() ? entity->getSubEntity(index) : nullptr;
}

// The low 32 bits of the number taken as a 64-bit integer; 0 for a number no 64-bit integer holds.
uint32_t LowBits(double number)
{
    const double limit = 9223372036854775808.0; // 2^63
    if (!(number > -limit && number < limit))
        return 0;
    return static_cast<uint32_t>(static_cast<int64_t>(number));
}

// The asset a pick on a part of owner stands for.
std::string OwnerAsset(const cl_SceneObject& owner, const std::string& assetRef)
{
    return assetRef == "parent" ? owner.GetAssetId() : assetRef;
}
} // namespace

bool st_ObjectPlacement::operator==(const st_ObjectPlacement& other) const
{
    return parent == other.parent && position == other.position && orientation == other.orientation;
}

cl_SceneObject::cl_SceneObject(Ogre::SceneManager& sceneManager, const std::string& name)
    : cl_SceneObject(sceneManager, std::make_unique<cl_ControlledPuppet>(sceneManager), nullptr, name)
{
    m_puppet->SetName(name);
}

cl_SceneObject::cl_SceneObject(Ogre::SceneManager& sceneManager, cl_ControlledPuppet* puppet,
                               const std::string& name)
    : cl_SceneObject(sceneManager, nullptr, puppet, name)
{
}

cl_SceneObject::cl_SceneObject(Ogre::SceneManager& sceneManager,
                               std::unique_ptr<cl_ControlledPuppet> ownPuppet, cl_ControlledPuppet* puppet,
                               const std::string& name)
    : m_ownPuppet(std::move(ownPuppet)), m_puppet(m_ownPuppet ? m_ownPuppet.get() : puppet),
      m_sceneManager(sceneManager), m_name(name), m_assetId(name)
{
    m_eventTrigger = std::make_unique<cl_PuppetEventTrigger>(m_puppet, m_name);
    m_originNode = m_sceneManager.createSceneNode();
    m_focusNode = m_sceneManager.createSceneNode();
}

cl_SceneObject::~cl_SceneObject()
{
    m_sceneManager.destroySceneNode(m_originNode);
    m_sceneManager.destroySceneNode(m_focusNode);
    // The trigger unregisters from the puppet, so it goes first.
    m_eventTrigger.reset();
    m_ownPuppet.reset();
}

void cl_SceneObject::ListAnimations(TiXmlElement& element) const
{
    if (m_puppet)
        m_puppet->WriteAnimationList(element);
}

Ogre::SceneNode* cl_SceneObject::GetSceneNode() const
{
    return m_puppet ? m_puppet->GetSceneNode() : nullptr;
}

void cl_SceneObject::SetActive(bool active)
{
    if (m_puppet)
        m_puppet->SetActive(active);
}

void cl_SceneObject::SetScale(float scale)
{
    if (Ogre::SceneNode* node = GetSceneNode())
        node->setScale(scale, scale, scale);
}

st_ObjectPlacement cl_SceneObject::GetPlacement() const
{
    const Ogre::SceneNode* node = GetSceneNode();
    if (!node)
        return st_ObjectPlacement();
    return {node->getParentSceneNode(), node->getPosition(), node->getOrientation()};
}

void cl_SceneObject::SetLocation(Ogre::SceneNode* node)
{
    if (!node || !m_sceneManager.hasSceneNode("_game"))
        return;
    Ogre::SceneNode* root = m_sceneManager.getSceneNode("_game");
    st_ObjectPlacement placement{root, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY};
    if (node->getParent() == root)
    {
        placement.position = node->getPosition();
        placement.orientation = node->getOrientation();
    }
    else if (node != root)
    {
        // The difference of the world positions, not turned or scaled into the root's frame: placements
        // made and saved this way rely on it.
        placement.position = node->_getDerivedPosition() - root->_getDerivedPosition();
        placement.orientation = node->_getDerivedOrientation() * root->_getDerivedOrientation().Inverse();
    }
    cl_SceneObject::SetLocation(placement);
}

void cl_SceneObject::SetLocation(const std::string& locationName)
{
    // OGRE refuses even to look for a node without name.
    if (locationName.empty() || !m_sceneManager.hasSceneNode(locationName))
    {
        LOG_WARNING("Location '%s' could not be resolved! Nothing changed!", locationName.c_str());
        return;
    }
    cl_SceneObject::SetLocation(m_sceneManager.getSceneNode(locationName));
}

bool cl_SceneObject::SetLocation(const st_ObjectPlacement& placement)
{
    const st_ObjectPlacement current = GetPlacement();
    if (current == placement)
        return true;
    m_rememberedPlacement = current;
    MoveNode(current, placement);
    return true;
}

bool cl_SceneObject::RestorePlacement()
{
    const st_ObjectPlacement current = GetPlacement();
    if (current == m_rememberedPlacement)
        return false;
    MoveNode(current, m_rememberedPlacement);
    return true;
}

void cl_SceneObject::MoveNode(const st_ObjectPlacement& from, const st_ObjectPlacement& to)
{
    Ogre::SceneNode* node = GetSceneNode();
    if (!node)
        return;
    if (from.parent != to.parent)
    {
        if (from.parent)
            from.parent->removeChild(node);
        if (to.parent)
            to.parent->addChild(node);
    }
    node->setPosition(to.position);
    node->setOrientation(to.orientation);
    m_puppet->SetFinishFades(true);
}

void cl_SceneObject::SetFocus(const std::string& bone, const std::string& slave)
{
    m_focusBone = bone;
    m_focusSlave = slave;
    ApplySlaveTagPoints();
}

void cl_SceneObject::ApplySlaveTagPoints()
{
    if (!m_puppet)
        return;
    if (m_focusBone.empty())
    {
        m_focusNode->setOrientation(m_puppet->GetSceneNode()->getOrientation());
        m_focusNode->setPosition(m_puppet->GetSceneNode()->getPosition());
    }
    else if (m_focusSlave.empty())
        m_puppet->ApplyTagPointToSceneNode(m_focusBone, m_focusNode);
    else
        m_puppet->ApplyTagPointToSceneNode(m_focusSlave, m_focusBone, m_focusNode);
}

void cl_SceneObject::SetSubMeshMaterial(const std::string& subMesh, unsigned int subEntityIndex,
                                        const std::string& material)
{
    Ogre::SubEntity* subEntity =
        SubEntityOf(m_puppet ? m_puppet->GetSubMesh(subMesh).entity : nullptr, subEntityIndex);
    if (!subEntity)
        return;
    const Ogre::MaterialPtr found = Ogre::MaterialManager::getSingleton().getByName(material);
    if (!found)
    {
        LOG_WARNING("The material '%s' for the submesh '%s' of '%s' does not exist.", material.c_str(),
                    subMesh.c_str(), m_name.c_str());
        return;
    }
    subEntity->setMaterial(found);
}

void cl_SceneObject::SetSubEntityMaterial(const std::string& slave, unsigned int subEntityIndex,
                                          const std::string& material)
{
    if (Ogre::SubEntity* subEntity =
            SubEntityOf(m_puppet ? m_puppet->GetSlave(slave).entity : nullptr, subEntityIndex))
        subEntity->setMaterialName(material, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
}

void cl_SceneObject::SetTransparency(const std::string& subMesh, unsigned int subEntityIndex,
                                     unsigned int passIndex, unsigned int textureUnitIndex, float alpha)
{
    const Ogre::SubEntity* subEntity =
        SubEntityOf(m_puppet ? m_puppet->GetSubMesh(subMesh).entity : nullptr, subEntityIndex);
    const Ogre::MaterialPtr material = subEntity ? subEntity->getMaterial() : Ogre::MaterialPtr();
    Ogre::Technique* technique =
        material && material->getNumTechniques() > 0 ? material->getTechnique(0) : nullptr;
    if (!technique || passIndex >= technique->getNumPasses())
        return;
    Ogre::Pass* pass = technique->getPass(passIndex);
    if (textureUnitIndex >= pass->getNumTextureUnitStates())
        return;
    pass->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
    pass->getTextureUnitState(textureUnitIndex)
        ->setAlphaOperation(Ogre::LBX_MODULATE, Ogre::LBS_MANUAL, Ogre::LBS_TEXTURE, alpha, 1.0f, 0.0f);
}

void cl_SceneObject::SetQueryFlags(uint32_t flags)
{
    if (!m_puppet)
        return;
    for (Ogre::MovableObject* object : m_puppet->GetMovableObjects())
        object->setQueryFlags(flags);
}

uint32_t cl_SceneObject::GetLightMask() const
{
    const std::vector<std::string> names = m_puppet->GetSubMeshNames();
    const Ogre::Entity* first = names.empty() ? nullptr : m_puppet->GetSubMesh(names.front()).entity;
    return first ? first->getLightMask() : 0x7FFFFFFF;
}

void cl_SceneObject::AddLightMask(uint32_t mask)
{
    if (m_puppet)
        m_puppet->SetLightMask(GetLightMask() | mask);
}

void cl_SceneObject::RemoveLightMask(uint32_t mask)
{
    if (m_puppet)
        m_puppet->SetLightMask(GetLightMask() & ~mask);
}

void cl_SceneObject::WriteDebugInfo(TiXmlElement& element) const
{
    element.SetAttribute("visualstate", GetCurrentVisualState());
    element.SetAttribute("assetref", m_name);
    const st_ObjectPlacement placement = GetPlacement();
    TiXmlElement* location = AppendChild(element, "location");
    location->SetAttribute("parent", placement.parent ? placement.parent->getName() : "none");
    location->SetAttribute("offset", Ogre::StringConverter::toString(placement.position));
    location->SetAttribute("rotation", Ogre::StringConverter::toString(placement.orientation));
    TiXmlElement* puppet = AppendChild(element, "puppet");
    if (m_puppet)
        m_puppet->SaveState(*puppet);
    TiXmlElement* focus = AppendChild(element, "focus");
    focus->SetAttribute("bone", m_focusBone);
    focus->SetAttribute("slave", m_focusSlave);
    if (!m_puppet)
        return;
    for (const std::string& name : m_puppet->GetControlNames())
    {
        TiXmlElement* control = AppendChild(*puppet, "control");
        control->SetAttribute("name", name);
        if (const cl_PuppetControl* found = m_puppet->GetControl(name))
            found->SaveToXml(*control);
    }
}

void cl_SceneObject::SaveState(TiXmlElement* element) const
{
    if (!element || !m_ownPuppet)
        return;
    TiXmlElement& subMeshes = FindOrAppendChild(*element, "submeshes");
    for (const std::string& name : m_ownPuppet->GetSubMeshNames())
    {
        // The name becomes an element name; another would make the saved game unreadable.
        if (!IsXmlName(name))
        {
            LOG_ERROR("The submesh '%s' of '%s' cannot name an element; its state is not saved.",
                      name.c_str(), m_name.c_str());
            continue;
        }
        const st_SubMesh subMesh = m_ownPuppet->GetSubMesh(name);
        TiXmlElement& state = FindOrAppendChild(subMeshes, name);
        state.SetAttribute("attached", TrueOrFalse(subMesh.node->getParentSceneNode() != nullptr));
        state.SetAttribute("visible", TrueOrFalse(subMesh.entity->getVisible()));
        state.SetAttribute("assetref", subMesh.assetRef);
        state.SetAttribute("lightmask", Format("%f", static_cast<double>(subMesh.entity->getLightMask())));
    }
    TiXmlElement& slaves = FindOrAppendChild(*element, "slaves");
    for (const std::string& id : m_ownPuppet->GetSlaveIds())
    {
        TiXmlElement* state = slaves.FirstChildElement(id);
        if (m_ownPuppet->GetSlave(id).entity->getVisible())
        {
            if (state)
                slaves.RemoveChild(state);
        }
        else if (IsXmlName(id))
            FindOrAppendChild(slaves, id).SetAttribute("visible", "false");
        else
            LOG_ERROR("The slave '%s' of '%s' cannot name an element; its state is not saved.", id.c_str(),
                      m_name.c_str());
    }
}

void cl_SceneObject::RestoreState(const TiXmlElement* element)
{
    if (!element || !m_puppet)
        return;
    if (const TiXmlElement* subMeshes = element->FirstChildElement("submeshes"))
    {
        for (const TiXmlElement* state = subMeshes->FirstChildElement(); state;
             state = state->NextSiblingElement())
        {
            const std::string& name = state->ValueStr();
            if (const char* attached = state->Attribute("attached"))
                m_puppet->SetSubMeshVisible(name, IsTrue(attached));
            const st_SubMesh subMesh = m_puppet->GetSubMesh(name);
            if (const char* visible = state->Attribute("visible"); visible && subMesh.node)
                subMesh.node->setVisible(IsTrue(visible), true);
            if (const char* assetRef = state->Attribute("assetref"))
                m_puppet->SetSubMeshAssetRef(name, assetRef);
            if (const char* lightMask = state->Attribute("lightmask"); lightMask && subMesh.entity)
            {
                double mask = 0.0;
                if (std::sscanf(lightMask, "%lf", &mask) != 1)
                    mask = 0.0;
                subMesh.entity->setLightMask(LowBits(mask));
            }
        }
    }
    if (const TiXmlElement* slaves = element->FirstChildElement("slaves"))
    {
        for (const TiXmlElement* state = slaves->FirstChildElement(); state;
             state = state->NextSiblingElement())
        {
            const char* visible = state->Attribute("visible");
            Ogre::SceneNode* node = visible ? m_puppet->GetSlave(state->ValueStr()).node : nullptr;
            if (node)
                node->setVisible(IsTrue(visible), true);
        }
    }
}

cl_SceneObject* cl_SceneObject::ResolveByName(const std::string& name)
{
    if (name.empty() || name == "avatar")
    {
        const cl_GameComponents* hub = cl_GameComponents::GetInstance();
        return hub ? hub->GetCurrentCharacter() : nullptr;
    }
    if (const cl_CharacterManager* characters = cl_CharacterManager::GetInstance())
    {
        if (cl_Character* character = characters->GetCharacter(name))
            return character;
    }
    cl_ItemManager* items = cl_ItemManager::GetInstance();
    return items ? items->GetItemObject(name) : nullptr;
}

cl_SceneObject* cl_SceneObject::ResolveOrLoadByName(const std::string& name)
{
    if (cl_SceneObject* object = ResolveByName(name))
        return object;
    cl_ItemManager* items = cl_ItemManager::GetInstance();
    cl_ItemEntry* entry = items ? items->LoadItem(name) : nullptr;
    if (!entry)
        return nullptr;
    items->ResetItemPlacement(*entry);
    return entry->sceneItem.get();
}

size_t cl_SceneObject::CollectSceneObjects(std::set<cl_SceneObject*>& objects)
{
    if (const cl_CharacterManager* characters = cl_CharacterManager::GetInstance())
    {
        for (const auto& character : characters->GetCharacters())
            objects.insert(character.second.get());
    }
    if (const cl_ItemManager* items = cl_ItemManager::GetInstance())
    {
        for (const auto& item : items->GetItems())
        {
            if (item.second->sceneItem)
                objects.insert(item.second->sceneItem.get());
        }
    }
    return objects.size();
}

std::string cl_SceneObject::FindOwnerOfEntity(const std::string& entityName)
{
    std::set<cl_SceneObject*> objects;
    CollectSceneObjects(objects);
    for (const cl_SceneObject* object : objects)
    {
        const cl_ControlledPuppet* puppet = object->m_ownPuppet.get();
        if (!puppet)
            continue;
        const st_SubMesh subMesh = puppet->GetSubMesh(entityName);
        if (subMesh.entity)
            return OwnerAsset(*object, subMesh.assetRef);
        for (const st_SlaveObject& slave : puppet->GetSlaves())
        {
            if (slave.entity && slave.entity->getName() == entityName)
                return OwnerAsset(*object, slave.assetRef);
        }
    }
    return std::string();
}
