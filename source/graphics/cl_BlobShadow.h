#pragma once

#include <OgreVector.h>

#include <memory>
#include <string>
#include <vector>

class TiXmlElement;
class cl_Character;
class cl_ShadowPane;

namespace Ogre
{
class Bone;
class SceneManager;
class SceneNode;
} // namespace Ogre

// One quad of a blob shadow and the bone it lies under.
struct st_BlobShadowElement
{
    Ogre::Bone* bone = nullptr;
    // The bone's height at which the quad has its own size and full opacity.
    float defaultDistance = 0.0f;
    // The bone's height at which the quad is twice as large and half as opaque.
    float doubleDistance = 0.0f;
    std::unique_ptr<cl_ShadowPane> pane;
    // Under "_game" while the shadow shows; null while hidden.
    Ogre::SceneNode* node = nullptr;
    // The quad's displacement, in the bone's orientation.
    Ogre::Vector3 offset = Ogre::Vector3::ZERO;
    // Degrees about the world's vertical axis.
    float rotation = 0.0f;
    // The character's uniform scale.
    float scale = 1.0f;
};

// The flat textured quads that lie on the ground under chosen bones of a character (its feet), growing
// and fading as the bone rises. Each quad hangs on a node of its own under the scene's root "_game" while
// the shadow shows; the character shows it once it is placed in a scene and hides it when it stands
// nowhere.
class cl_BlobShadow
{
public:
    static constexpr const char* DEFAULT_TEXTURE = "blob01.tga";

    // owner gives the skeleton, the node the bones move with and the navigation mesh; it outlives this.
    explicit cl_BlobShadow(cl_Character& owner);
    // Destroys the nodes and the quads.
    virtual ~cl_BlobShadow();
    cl_BlobShadow(const cl_BlobShadow&) = delete;
    cl_BlobShadow& operator=(const cl_BlobShadow&) = delete;

    // A blob shadow of the "blobshadow" element's "element" children: "bone", "width" and "height" (10
    // each), then, each when present, "texture", "doubledist" (10 when no number), "defaultdist" and
    // "rotation" (0 when no number) and "offset" ("x", "y", "z"; 0 each when missing). An element whose bone
    // the skeleton lacks is logged and left out.
    static std::unique_ptr<cl_BlobShadow> Load(const TiXmlElement& element, cl_Character& owner);

    // Adds a hidden quad of width x height with the default texture under the named bone of the owner's
    // skeleton; its index. -1, logged, when the skeleton lacks the bone.
    int AddElement(int width, int height, const std::string& boneName);
    // Places, sizes and fades each quad under its bone, on the navigation mesh below it (height 0
    // without one or beside it). A hidden quad changes only its opacity.
    void Update();
    // Every quad without a node gets one under "_game" (logged when the scene has no "_game").
    void Show();
    // Every quad's node is destroyed; the quads stay.
    void Hide();
    // The character's scale, for every quad.
    void SetScale(float scale);

    // The element of that index; null outside 0 .. count - 1.
    st_BlobShadowElement* GetElement(int index);
    int GetElementCount() const { return static_cast<int>(m_elements.size()); }

private:
    void UpdateElement(st_BlobShadowElement& element, const Ogre::SceneNode& owner) const;
    // The height of the ground under point: the navigation mesh's, else 0.
    float GroundHeight(const Ogre::Vector3& point) const;

    cl_Character& m_owner;
    Ogre::SceneManager& m_sceneManager;
    std::vector<st_BlobShadowElement> m_elements;
};
