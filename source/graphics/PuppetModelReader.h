#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>

class TiXmlElement;
class cl_Puppet;

// Readers of the parts of a "puppet" element that become OGRE objects of the puppet.

// The vector of the attributes "x", "y", "z" (each read as a number, 0 when absent or unreadable); the
// zero vector for a null element.
Ogre::Vector3 ParseVector3(const TiXmlElement* element);
// The quaternion of the attributes "x", "y", "z", "w", each absent or unreadable one as in the identity;
// the all-zero quaternion for a null element.
Ogre::Quaternion ParseQuaternion(const TiXmlElement* element);

// Adds the submesh of a "submesh" element ("meshfile" required; "name" default "subMesh<count>") and sets
// its asset reference, visibility, visibility flags ("refraction"), node transform ("subnode"), material,
// bounds and render queue. Anything else than a "submesh" element is ignored; a missing mesh file is
// logged. Always true.
bool SubMeshFromXml(const TiXmlElement* element, cl_Puppet& puppet);
// Adds the slave object of a "slave" element ("meshfile", "id" and "position" required) with its bounds,
// "offset" and "rotation". False, logged, for another element, a missing attribute, a taken id or a mesh
// that cannot be had.
bool SlaveObjectFromXml(const TiXmlElement* element, cl_Puppet& puppet);
