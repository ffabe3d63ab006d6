#include "graphics/cl_BlobShadow.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_ShadowPane.h"

#include <OgreBone.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>

namespace
{
const float SMALLEST = 0.5f;
const float LARGEST = 8.0f;

// The quad's size factor: k within SMALLEST .. LARGEST; a k that is no number gives the smallest.
float SizeFactor(float k)
{
    if (!(k > SMALLEST))
        return SMALLEST;
    return k < LARGEST ? k : LARGEST;
}

// The attribute's number when it is there: fallback when it is no number; value untouched when absent.
void ReadPresent(const TiXmlElement& element, const char* name, float fallback, float& value)
{
    if (element.Attribute(name))
        value = NumberAttribute(element, name, fallback);
}
} // namespace

cl_BlobShadow::cl_BlobShadow(cl_Character& owner) : m_owner(owner), m_sceneManager(owner.GetSceneManager()) {}

cl_BlobShadow::~cl_BlobShadow()
{
    Hide();
}

std::unique_ptr<cl_BlobShadow> cl_BlobShadow::Load(const TiXmlElement& element, cl_Character& owner)
{
    auto shadow = std::make_unique<cl_BlobShadow>(owner);
    for (const TiXmlElement* quad = element.FirstChildElement("element"); quad;
         quad = quad->NextSiblingElement("element"))
    {
        const int index =
            shadow->AddElement(IntegerAttribute(*quad, "width", 10), IntegerAttribute(*quad, "height", 10),
                               AttributeOrEmpty(*quad, "bone"));
        st_BlobShadowElement* added = shadow->GetElement(index);
        if (!added)
            continue;
        const std::string texture = AttributeOrEmpty(*quad, "texture");
        if (!texture.empty())
            added->pane->SetTexture(texture);
        ReadPresent(*quad, "doubledist", 10.0f, added->doubleDistance);
        ReadPresent(*quad, "defaultdist", 0.0f, added->defaultDistance);
        ReadPresent(*quad, "rotation", 0.0f, added->rotation);
        if (const TiXmlElement* offset = quad->FirstChildElement("offset"))
            added->offset =
                Ogre::Vector3(NumberAttribute(*offset, "x", 0.0f), NumberAttribute(*offset, "y", 0.0f),
                              NumberAttribute(*offset, "z", 0.0f));
    }
    return shadow;
}

int cl_BlobShadow::AddElement(int width, int height, const std::string& boneName)
{
    const Ogre::SkeletonInstance* skeleton =
        m_owner.GetPuppet() ? m_owner.GetPuppet()->GetSkeleton() : nullptr;
    if (!skeleton || !skeleton->hasBone(boneName))
    {
        LOG_ERROR("The blob shadow of '%s' has no bone '%s' to lie under; that quad is left out.",
                  m_owner.GetName().c_str(), boneName.c_str());
        return -1;
    }
    st_BlobShadowElement element;
    element.bone = skeleton->getBone(boneName);
    element.doubleDistance = std::sqrt(static_cast<float>(width) * static_cast<float>(height));
    element.pane = std::make_unique<cl_ShadowPane>(static_cast<float>(width), static_cast<float>(height));
    element.pane->SetTexture(DEFAULT_TEXTURE);
    m_elements.push_back(std::move(element));
    return GetElementCount() - 1;
}

void cl_BlobShadow::Update()
{
    const Ogre::SceneNode* owner = m_owner.GetSceneNode();
    if (!owner)
        return;
    for (st_BlobShadowElement& element : m_elements)
        UpdateElement(element, *owner);
}

void cl_BlobShadow::UpdateElement(st_BlobShadowElement& element, const Ogre::SceneNode& owner) const
{
    const Ogre::Quaternion orientation =
        owner._getDerivedOrientation() * element.bone->_getDerivedOrientation();
    const Ogre::Vector3 bone =
        owner._getDerivedPosition() +
        (owner._getDerivedOrientation() * element.bone->_getDerivedPosition()) * element.scale;
    const Ogre::Vector3 ground(bone.x, GroundHeight(bone), bone.z);
    const float height = (bone - ground).length();
    // Equal distances leave no range to grow over: the quad keeps its own size and opacity.
    const float range = element.doubleDistance - element.defaultDistance;
    const float growth = range != 0.0f ? (height - element.defaultDistance) / range : 0.0f;
    const float k = (growth + 1.0f) / element.scale;
    // Held within 0..1 here: the pane squares what it is given, which would turn a negative into a shade.
    const float alpha = 1.0f / k;
    element.pane->SetAlpha(alpha > 0.0f ? std::min(alpha, 1.0f) : 0.0f);
    if (!element.node)
        return;
    const float size = SizeFactor(k);
    element.node->setPosition(ground + (orientation * element.offset) * element.scale);
    element.node->setScale(Ogre::Vector3(size * element.scale));
    element.node->setOrientation(orientation);
    element.node->setDirection(Ogre::Vector3::UNIT_Y, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
    element.node->rotate(Ogre::Vector3::UNIT_Y, Ogre::Degree(element.rotation), Ogre::Node::TS_WORLD);
}

float cl_BlobShadow::GroundHeight(const Ogre::Vector3& point) const
{
    const cl_Navmesh* navmesh = m_owner.GetNavmesh();
    Ogre::Vector3 hit;
    if (navmesh && navmesh->RayHit(point, Ogre::Vector3::NEGATIVE_UNIT_Y, hit) >= 0)
        return hit.y;
    return 0.0f;
}

void cl_BlobShadow::Show()
{
    Ogre::SceneNode* root =
        m_sceneManager.hasSceneNode("_game") ? m_sceneManager.getSceneNode("_game") : nullptr;
    if (!root)
    {
        LOG_WARNING("The blob shadow of '%s' cannot show without the scene root '_game'.",
                    m_owner.GetName().c_str());
        return;
    }
    for (st_BlobShadowElement& element : m_elements)
    {
        if (element.node)
            continue;
        element.node = root->createChildSceneNode();
        element.node->attachObject(element.pane.get());
    }
}

void cl_BlobShadow::Hide()
{
    for (st_BlobShadowElement& element : m_elements)
    {
        if (!element.node)
            continue;
        element.node->detachObject(element.pane.get());
        m_sceneManager.destroySceneNode(element.node);
        element.node = nullptr;
    }
}

void cl_BlobShadow::SetScale(float scale)
{
    for (st_BlobShadowElement& element : m_elements)
        element.scale = scale;
}

st_BlobShadowElement* cl_BlobShadow::GetElement(int index)
{
    return index >= 0 && index < GetElementCount() ? &m_elements[static_cast<size_t>(index)] : nullptr;
}
