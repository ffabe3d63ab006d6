#include "graphics/PuppetModelReader.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Puppet.h"

#include <OgreEntity.h>
#include <OgreMesh.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>

namespace
{
// The highest render queue a submesh may take: the queues above belong to the overlays.
const int MAX_RENDER_QUEUE = 105;

// Three numbers separated by blanks; zero when unreadable.
Ogre::Vector3 VectorOf(const char* text)
{
    return Ogre::StringConverter::parseVector3(text ? text : "");
}

// Gives the mesh the bounds of the "min" and "max" attributes of a "bounds" element, padded. A missing
// corner, or corners that make no box (a minimum above the maximum, a number out of range), are logged
// and change nothing.
void SetBounds(Ogre::Entity& entity, const TiXmlElement& bounds)
{
    if (!bounds.Attribute("min") || !bounds.Attribute("max"))
    {
        LOG_WARNING("The bounds of the mesh '%s' lack 'min' or 'max' and are ignored.",
                    entity.getMesh()->getName().c_str());
        return;
    }
    const Ogre::Vector3 low = VectorOf(bounds.Attribute("min"));
    const Ogre::Vector3 high = VectorOf(bounds.Attribute("max"));
    const bool finite = std::isfinite(low.x + low.y + low.z + high.x + high.y + high.z);
    if (!finite || low.x > high.x || low.y > high.y || low.z > high.z)
    {
        LOG_WARNING("The bounds of the mesh '%s' are no box and are ignored.",
                    entity.getMesh()->getName().c_str());
        return;
    }
    entity.getMesh()->_setBounds(Ogre::AxisAlignedBox(low, high), true);
}

void ReadSubNode(const TiXmlElement& subNode, Ogre::SceneNode& node)
{
    if (const TiXmlElement* position = subNode.FirstChildElement("position"))
        node.setPosition(ParseVector3(position));
    if (const TiXmlElement* rotation = subNode.FirstChildElement("rotation"))
        node.setOrientation(ParseQuaternion(rotation));
    if (const TiXmlElement* scale = subNode.FirstChildElement("scale"))
        node.setScale(ParseVector3(scale));
}

void ReadSubMeshBounds(const TiXmlElement& bounds, const std::string& name, cl_Puppet& puppet)
{
    const std::string type = AttributeOrEmpty(bounds, "type");
    if (type == "fixed")
        SetBounds(*puppet.GetSubMesh(name).entity, bounds);
    else if (type == "dynamic")
    {
        puppet.SetSubMeshDynamicBounds(name, true);
        LOG_WARNING("DynamicBounds are not supported...");
    }
    else
        LOG_WARNING("Could not set Submesh bounds because of missing or unknown type information!");
}

// The slave node's turn: the text is the axis, "angle" the degrees about it. Without an angle or an axis
// it turns nothing.
void ReadSlaveRotation(const TiXmlElement& rotation, Ogre::SceneNode& node)
{
    const Ogre::Vector3 axis = VectorOf(rotation.GetText());
    const char* degrees = rotation.Attribute("angle");
    if (!degrees || axis.isZeroLength())
    {
        LOG_WARNING("The rotation of a SlaveObject lacks its angle or axis and is ignored.");
        return;
    }
    const Ogre::Radian angle = Ogre::StringConverter::parseAngle(degrees);
    node.setOrientation(Ogre::Quaternion(angle, axis.normalisedCopy()));
}
} // namespace

Ogre::Vector3 ParseVector3(const TiXmlElement* element)
{
    if (!element)
        return Ogre::Vector3::ZERO;
    return Ogre::Vector3(NumberAttribute(*element, "x", 0.0f), NumberAttribute(*element, "y", 0.0f),
                         NumberAttribute(*element, "z", 0.0f));
}

Ogre::Quaternion ParseQuaternion(const TiXmlElement* element)
{
    if (!element)
        return Ogre::Quaternion(0.0f, 0.0f, 0.0f, 0.0f);
    return Ogre::Quaternion(NumberAttribute(*element, "w", 1.0f), NumberAttribute(*element, "x", 0.0f),
                            NumberAttribute(*element, "y", 0.0f), NumberAttribute(*element, "z", 0.0f));
}

bool SubMeshFromXml(const TiXmlElement* element, cl_Puppet& puppet)
{
    if (!element || element->ValueStr() != "submesh")
        return true;
    const char* meshFile = element->Attribute("meshfile");
    if (!meshFile)
    {
        LOG_WARNING("Submesh definition lacks required attribute 'meshfile'!");
        return true;
    }
    const char* givenName = element->Attribute("name");
    const std::string name =
        givenName ? givenName : Format("subMesh%i", static_cast<int>(puppet.GetSubMeshNames().size()));
    if (!puppet.AddSubMesh(meshFile, name))
        return true;
    const st_SubMesh subMesh = puppet.GetSubMesh(name);
    if (const char* assetRef = element->Attribute("assetref"))
        puppet.SetSubMeshAssetRef(name, assetRef);
    if (element->Attribute("visible"))
        subMesh.node->setVisible(IsTrueAttribute(*element, "visible"), true);
    subMesh.entity->setVisibilityFlags(IsTrueAttribute(*element, "refraction") ? 7 : 3);
    if (const TiXmlElement* subNode = element->FirstChildElement("subnode"))
        ReadSubNode(*subNode, *subMesh.node);
    if (const char* material = element->Attribute("material"))
        subMesh.entity->setMaterialName(material, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
    if (const TiXmlElement* bounds = element->FirstChildElement("bounds"))
        ReadSubMeshBounds(*bounds, name, puppet);
    if (const char* queue = element->Attribute("renderqueue"))
        subMesh.entity->setRenderQueueGroup(static_cast<Ogre::uint8>(
            std::clamp(Ogre::StringConverter::parseInt(queue), 0, MAX_RENDER_QUEUE)));
    return true;
}

bool SlaveObjectFromXml(const TiXmlElement* element, cl_Puppet& puppet)
{
    if (!element || element->ValueStr() != "slave")
    {
        LOG_ERROR("Invalid XML Node supplied!");
        return false;
    }
    const char* meshFile = element->Attribute("meshfile");
    const char* id = element->Attribute("id");
    const char* position = element->Attribute("position");
    if (!meshFile)
    {
        LOG_ERROR("SlaveObject definition lacks required attribute 'meshfile'!");
        return false;
    }
    if (!id)
    {
        LOG_ERROR("SlaveObject definition lacks required attribute 'id'!");
        return false;
    }
    if (puppet.FindSlave(id))
    {
        LOG_ERROR("A SlaveObject named '%s' allready exists!", id);
        return false;
    }
    if (!position)
    {
        LOG_ERROR("SlaveObject definition lacks required attribute 'position'!");
        return false;
    }
    const char* assetRef = element->Attribute("assetref");
    if (!puppet.AddSlaveObject(id, meshFile, assetRef ? assetRef : "parent", position))
        return false;
    const st_SlaveObject* slave = puppet.FindSlave(id);
    if (const TiXmlElement* bounds = element->FirstChildElement("bounds"))
        SetBounds(*slave->entity, *bounds);
    if (const TiXmlElement* offset = element->FirstChildElement("offset"))
        slave->node->setPosition(VectorOf(offset->GetText()));
    if (const TiXmlElement* rotation = element->FirstChildElement("rotation"))
        ReadSlaveRotation(*rotation, *slave->node);
    return true;
}
