// Writes the demo's animated figures as OGRE XML, for OgreXMLConverter: the hero and the keeper (one rig,
// meshes and colours of their own), the lantern the keeper carries, and a second skeleton file with one
// more clip of the rig.
//
// The figures face +z with +y up; a length unit is about a centimetre. Every body part is a box on one
// bone; a box's faces toward +z take the figure's front material, those toward -z its back material, so
// that a picture tells which way a figure faces. The materials glow in flat colours, so the meshes carry
// no normals: OGRE 1.12 blends the normals of poses in software only from a buffer of their own, and
// crashes on the one buffer that skinned meshes need.
//
// The rig: "pelvis" (the body's root), "motion" (a second root that no vertex follows: it carries the
// root motion of every clip), "spine", "neck" (identity bind), "head" (local -z forward, local +x up),
// "eye_l" and "eye_r" (local +x forward, +y up), "arm_l", "arm_r", "hand_r", "leg_l", "leg_r", "foot_l",
// "foot_r". A turn of +90 degrees about y turns a figure to its left (+x), -90 to its right (-x).
//
// Usage: make_figure OUTPUT_FOLDER
#include <OgreMath.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Ogre::Degree;
using Ogre::Quaternion;
using Ogre::Radian;
using Ogre::Vector3;

std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", std::fabs(value) < 5e-6f ? 0.0f : value);
    return text;
}

std::string XYZ(const Vector3& v)
{
    return "x=\"" + Number(v.x) + "\" y=\"" + Number(v.y) + "\" z=\"" + Number(v.z) + "\"";
}

// An OGRE XML rotation element (angle in radians about an axis).
std::string Rotation(const char* element, const Quaternion& q)
{
    Radian angle;
    Vector3 axis;
    q.ToAngleAxis(angle, axis);
    if (axis.isZeroLength())
        axis = Vector3::UNIT_X;
    return std::string("<") + element + " angle=\"" + Number(angle.valueRadians()) + "\"><axis " + XYZ(axis) +
           "/></" + element + ">";
}

Quaternion Turn(const Vector3& axis, float degrees)
{
    return Quaternion(Degree(degrees), axis);
}

// The bones with their bind pose.
class Rig
{
public:
    struct Bone
    {
        std::string name;
        int parent;
        Vector3 position;       // relative to the parent
        Quaternion orientation; // relative to the parent
    };

    int Add(const std::string& name, int parent, const Vector3& position,
            const Quaternion& orientation = Quaternion::IDENTITY)
    {
        m_bones.push_back({name, parent, position, orientation});
        return static_cast<int>(m_bones.size()) - 1;
    }
    // A bone given by its place in the figure's space.
    int AddAt(const std::string& name, int parent, const Vector3& world, const Quaternion& worldOrientation)
    {
        const Quaternion back = WorldOrientation(parent).Inverse();
        return Add(name, parent, back * (world - WorldPosition(parent)), back * worldOrientation);
    }
    int Find(const std::string& name) const
    {
        for (size_t index = 0; index < m_bones.size(); ++index)
        {
            if (m_bones[index].name == name)
                return static_cast<int>(index);
        }
        std::fprintf(stderr, "make_figure: no bone %s\n", name.c_str());
        std::exit(1);
    }
    Vector3 WorldPosition(int bone) const
    {
        if (bone < 0)
            return Vector3::ZERO;
        const Bone& b = m_bones[static_cast<size_t>(bone)];
        return WorldPosition(b.parent) + WorldOrientation(b.parent) * b.position;
    }
    Quaternion WorldOrientation(int bone) const
    {
        if (bone < 0)
            return Quaternion::IDENTITY;
        const Bone& b = m_bones[static_cast<size_t>(bone)];
        return WorldOrientation(b.parent) * b.orientation;
    }
    const std::vector<Bone>& Bones() const { return m_bones; }

private:
    std::vector<Bone> m_bones;
};

struct Key
{
    float time;
    Vector3 translation;
    Quaternion rotation;
};

// One clip: key frames per bone, times in seconds.
class Clip
{
public:
    Clip(const Rig& rig, const std::string& name, float length) : m_rig(rig), m_name(name), m_length(length)
    {
    }

    // Turns the bone about an axis of the figure's space by the given degrees at the given times.
    Clip& Swing(const std::string& bone, const Vector3& axis,
                const std::vector<std::pair<float, float>>& degrees)
    {
        const int index = m_rig.Find(bone);
        const Quaternion frame = m_rig.WorldOrientation(index);
        for (const auto& key : degrees)
            Set(index, key.first).rotation = frame.Inverse() * Turn(axis, key.second) * frame;
        return *this;
    }
    // Moves the bone by the given offsets (in its parent's space) at the given times.
    Clip& Shift(const std::string& bone, const std::vector<std::pair<float, Vector3>>& offsets)
    {
        const int index = m_rig.Find(bone);
        for (const auto& key : offsets)
            Set(index, key.first).translation = key.second;
        return *this;
    }
    // The root motion: "motion" goes forward at speed while it turns by degrees over the clip (a circle's
    // arc; +x is left), keyed every eighth of the clip.
    Clip& Travel(float speed, float degrees)
    {
        const int motion = m_rig.Find("motion");
        const float turn = Degree(degrees).valueRadians();
        for (int step = 0; step <= 8; ++step)
        {
            const float t = m_length * static_cast<float>(step) / 8.0f;
            const float heading = turn * t / m_length;
            Key& key = Set(motion, t);
            if (turn == 0.0f)
                key.translation = Vector3(0, 0, speed * t);
            else
            {
                const float radius = speed * m_length / turn;
                key.translation = Vector3(radius * (1.0f - std::cos(heading)), 0, radius * std::sin(heading));
            }
            key.rotation = Quaternion(Radian(heading), Vector3::UNIT_Y);
        }
        return *this;
    }
    // Legs and arms swing against each other, a full step cycle per period, starting with the left leg
    // forward; the pelvis bobs down at each stride.
    Clip& Stride(float legDegrees, float armDegrees, float period, float bob)
    {
        std::vector<std::pair<float, float>> left;
        std::vector<std::pair<float, float>> right;
        std::vector<std::pair<float, float>> armLeft;
        std::vector<std::pair<float, float>> armRight;
        std::vector<std::pair<float, Vector3>> pelvis;
        const int steps = static_cast<int>(std::lround(m_length / period * 4.0f));
        for (int step = 0; step <= steps; ++step)
        {
            const float t = period * static_cast<float>(step) / 4.0f;
            const float phase = std::cos(Ogre::Math::TWO_PI * t / period);
            left.emplace_back(t, -legDegrees * phase);
            right.emplace_back(t, legDegrees * phase);
            armLeft.emplace_back(t, armDegrees * phase);
            armRight.emplace_back(t, -armDegrees * phase);
            pelvis.emplace_back(t, Vector3(0, step % 2 ? -bob : 0.0f, 0));
        }
        return Swing("leg_l", Vector3::UNIT_X, left)
            .Swing("leg_r", Vector3::UNIT_X, right)
            .Swing("arm_l", Vector3::UNIT_X, armLeft)
            .Swing("arm_r", Vector3::UNIT_X, armRight)
            .Shift("pelvis", pelvis);
    }
    // "motion" turns in place by degrees, keyed every eighth of the clip, while the feet step.
    Clip& TurnInPlace(float degrees)
    {
        std::vector<std::pair<float, float>> turn;
        for (int step = 0; step <= 8; ++step)
            turn.emplace_back(m_length * static_cast<float>(step) / 8.0f,
                              degrees * static_cast<float>(step) / 8.0f);
        return Swing("motion", Vector3::UNIT_Y, turn).Stride(12.0f, 6.0f, m_length / 2.0f, 1.0f);
    }

    const std::string& Name() const { return m_name; }
    float Length() const { return m_length; }
    const std::map<int, std::map<float, Key>>& Tracks() const { return m_tracks; }

private:
    Key& Set(int bone, float time)
    {
        std::map<float, Key>& track = m_tracks[bone];
        auto found = track.find(time);
        if (found == track.end())
            found = track.emplace(time, Key{time, Vector3::ZERO, Quaternion::IDENTITY}).first;
        return found->second;
    }

    const Rig& m_rig;
    std::string m_name;
    float m_length;
    std::map<int, std::map<float, Key>> m_tracks;
};

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path);
    file << text;
    file.close();
    if (!file)
        std::fprintf(stderr, "make_figure: cannot write %s\n", path.c_str());
    return static_cast<bool>(file);
}

bool WriteSkeleton(const std::string& path, const Rig& rig, const std::vector<Clip>& clips)
{
    std::string text = "<skeleton blendmode=\"average\">\n  <bones>\n";
    const std::vector<Rig::Bone>& bones = rig.Bones();
    for (size_t index = 0; index < bones.size(); ++index)
        text += "    <bone id=\"" + std::to_string(index) + "\" name=\"" + bones[index].name +
                "\"><position " + XYZ(bones[index].position) + "/>" +
                Rotation("rotation", bones[index].orientation) + "</bone>\n";
    text += "  </bones>\n  <bonehierarchy>\n";
    for (const Rig::Bone& bone : bones)
    {
        if (bone.parent >= 0)
            text += "    <boneparent bone=\"" + bone.name + "\" parent=\"" +
                    bones[static_cast<size_t>(bone.parent)].name + "\"/>\n";
    }
    text += "  </bonehierarchy>\n  <animations>\n";
    for (const Clip& clip : clips)
    {
        text += "    <animation name=\"" + clip.Name() + "\" length=\"" + Number(clip.Length()) +
                "\">\n      <tracks>\n";
        for (const auto& track : clip.Tracks())
        {
            text +=
                "        <track bone=\"" + bones[static_cast<size_t>(track.first)].name + "\"><keyframes>\n";
            for (const auto& key : track.second)
                text += "          <keyframe time=\"" + Number(key.first) + "\"><translate " +
                        XYZ(key.second.translation) + "/>" + Rotation("rotate", key.second.rotation) +
                        "</keyframe>\n";
            text += "        </keyframes></track>\n";
        }
        text += "      </tracks>\n    </animation>\n";
    }
    text += "  </animations>\n</skeleton>\n";
    return WriteFile(path, text);
}

// Boxes on bones with their materials and vertex poses.
class Mesh
{
public:
    struct Materials
    {
        std::string front;
        std::string back;
        std::string side;
    };

    // Adds the box from low to high on the bone; returns its number for Vertices.
    int AddBox(const Vector3& low, const Vector3& high, int bone, const Materials& materials)
    {
        const Vector3 normals[6] = {Vector3::UNIT_Z, Vector3::NEGATIVE_UNIT_Z,
                                    Vector3::UNIT_X, Vector3::NEGATIVE_UNIT_X,
                                    Vector3::UNIT_Y, Vector3::NEGATIVE_UNIT_Y};
        const int first = static_cast<int>(m_vertices.size());
        for (const Vector3& normal : normals)
        {
            // Two axes across the face, so that the corners run counter-clockwise seen from outside.
            Vector3 u = normal.perpendicular();
            Vector3 v = normal.crossProduct(u);
            const int base = static_cast<int>(m_vertices.size());
            const Vector3 centre = (low + high) * 0.5f + (high - low) * 0.5f * normal;
            const Vector3 half = (high - low) * 0.5f;
            u = Vector3(std::fabs(u.x) * half.x, std::fabs(u.y) * half.y, std::fabs(u.z) * half.z) *
                Vector3(Sign(u.x), Sign(u.y), Sign(u.z));
            v = Vector3(std::fabs(v.x) * half.x, std::fabs(v.y) * half.y, std::fabs(v.z) * half.z) *
                Vector3(Sign(v.x), Sign(v.y), Sign(v.z));
            for (const Vector3& corner : {centre - u - v, centre + u - v, centre + u + v, centre - u + v})
                m_vertices.push_back({corner, bone});
            const std::string& material = normal == Vector3::UNIT_Z            ? materials.front
                                          : normal == Vector3::NEGATIVE_UNIT_Z ? materials.back
                                                                               : materials.side;
            m_faces[material].push_back({base, base + 1, base + 2});
            m_faces[material].push_back({base, base + 2, base + 3});
        }
        m_boxes.push_back(first);
        return static_cast<int>(m_boxes.size()) - 1;
    }
    // The vertices of a box whose bind position passes the test.
    std::vector<int> Vertices(int box, const std::function<bool(const Vector3&)>& test) const
    {
        std::vector<int> found;
        for (int vertex = m_boxes[static_cast<size_t>(box)]; vertex < m_boxes[static_cast<size_t>(box)] + 24;
             ++vertex)
        {
            if (test(m_vertices[static_cast<size_t>(vertex)].position))
                found.push_back(vertex);
        }
        return found;
    }
    // A pose: offsets of vertices from their bind position.
    void AddPose(const std::string& name, const std::map<int, Vector3>& offsets)
    {
        m_poses.emplace_back(name, offsets);
    }

    bool Write(const std::string& path, const std::string& skeleton) const
    {
        std::string text = "<mesh>\n  <sharedgeometry vertexcount=\"" + std::to_string(m_vertices.size()) +
                           "\">\n    <vertexbuffer positions=\"true\">\n";
        for (const Vertex& vertex : m_vertices)
            text += "      <vertex><position " + XYZ(vertex.position) + "/></vertex>\n";
        text += "    </vertexbuffer>\n  </sharedgeometry>\n  <submeshes>\n";
        for (const auto& material : m_faces)
        {
            text +=
                "    <submesh material=\"" + material.first +
                "\" usesharedvertices=\"true\" use32bitindexes=\"false\" operationtype=\"triangle_list\">\n"
                "      <faces count=\"" +
                std::to_string(material.second.size()) + "\">\n";
            for (const auto& face : material.second)
                text += "        <face v1=\"" + std::to_string(face[0]) + "\" v2=\"" +
                        std::to_string(face[1]) + "\" v3=\"" + std::to_string(face[2]) + "\"/>\n";
            text += "      </faces>\n    </submesh>\n";
        }
        text += "  </submeshes>\n  <skeletonlink name=\"" + skeleton + "\"/>\n  <boneassignments>\n";
        for (size_t index = 0; index < m_vertices.size(); ++index)
            text += "    <vertexboneassignment vertexindex=\"" + std::to_string(index) + "\" boneindex=\"" +
                    std::to_string(m_vertices[index].bone) + "\" weight=\"1\"/>\n";
        text += "  </boneassignments>\n";
        if (!m_poses.empty())
        {
            text += "  <poses>\n";
            for (const auto& pose : m_poses)
            {
                text += "    <pose target=\"mesh\" index=\"0\" name=\"" + pose.first + "\">\n";
                for (const auto& offset : pose.second)
                    text += "      <poseoffset index=\"" + std::to_string(offset.first) + "\" " +
                            XYZ(offset.second) + "/>\n";
                text += "    </pose>\n";
            }
            text += "  </poses>\n";
        }
        text += "</mesh>\n";
        return WriteFile(path, text);
    }

private:
    struct Vertex
    {
        Vector3 position;
        int bone;
    };
    static float Sign(float value) { return value < 0.0f ? -1.0f : 1.0f; }

    std::vector<Vertex> m_vertices;
    std::map<std::string, std::vector<std::vector<int>>> m_faces;
    std::vector<int> m_boxes;
    std::vector<std::pair<std::string, std::map<int, Vector3>>> m_poses;
};

Rig MakeRig()
{
    Rig rig;
    const int pelvis = rig.Add("pelvis", -1, Vector3(0, 95, 0));
    rig.Add("motion", -1, Vector3::ZERO);
    const int spine = rig.Add("spine", pelvis, Vector3(0, 10, 0));
    const int neck = rig.Add("neck", spine, Vector3(0, 50, 0));
    // Local -z forward (+z of the figure), local +x up.
    const int head =
        rig.Add("head", neck, Vector3(0, 8, 0), Quaternion(Degree(180), Vector3(1, 1, 0).normalisedCopy()));
    const Quaternion eyeForward = Turn(Vector3::UNIT_Y, -90.0f); // local +x toward +z
    rig.AddAt("eye_l", head, Vector3(3.5f, 172, 9), eyeForward);
    rig.AddAt("eye_r", head, Vector3(-3.5f, 172, 9), eyeForward);
    rig.Add("arm_l", spine, Vector3(22, 45, 0));
    const int armRight = rig.Add("arm_r", spine, Vector3(-22, 45, 0));
    rig.Add("hand_r", armRight, Vector3(0, -60, 0));
    const int legLeft = rig.Add("leg_l", pelvis, Vector3(10, -5, 0));
    const int legRight = rig.Add("leg_r", pelvis, Vector3(-10, -5, 0));
    rig.Add("foot_l", legLeft, Vector3(0, -85, 0));
    rig.Add("foot_r", legRight, Vector3(0, -85, 0));
    return rig;
}

// Every clip the demo's characters use; the paths of their weight trees name them.
std::vector<Clip> MakeClips(const Rig& rig)
{
    const Vector3 x = Vector3::UNIT_X;
    const Vector3 y = Vector3::UNIT_Y;
    const Vector3 z = Vector3::UNIT_Z;
    std::vector<Clip> clips;
    clips.push_back(Clip(rig, "walk_straight", 1.0f).Stride(25, 20, 1.0f, 2).Travel(120, 0));
    clips.push_back(Clip(rig, "walk_left", 1.0f).Stride(25, 20, 1.0f, 2).Travel(110, 20));
    clips.push_back(Clip(rig, "walk_right", 1.0f).Stride(25, 20, 1.0f, 2).Travel(110, -20));
    clips.push_back(Clip(rig, "run", 0.6f)
                        .Stride(40, 35, 0.6f, 4)
                        .Travel(300, 0)
                        .Swing("spine", x, {{0, 10}, {0.6f, 10}}));
    clips.push_back(Clip(rig, "turn_stand_90", 1.0f).TurnInPlace(-90));
    clips.push_back(Clip(rig, "turn_stand_180", 1.4f).TurnInPlace(-180));
    // The same half turn the other way round, for turns that end on the figure's left.
    clips.push_back(Clip(rig, "turn_stand_180_left", 1.4f).TurnInPlace(180));
    clips.push_back(Clip(rig, "turn_stand_270", 1.0f).TurnInPlace(90));
    clips.push_back(Clip(rig, "turn_stand_360", 0.8f).TurnInPlace(0));
    clips.push_back(Clip(rig, "turn_walk_90", 1.2f).Stride(25, 20, 1.2f, 2).Travel(100, -90));
    clips.push_back(Clip(rig, "turn_walk_180", 1.6f).Stride(25, 20, 0.8f, 2).Travel(90, -180));
    clips.push_back(Clip(rig, "turn_walk_270", 1.2f).Stride(25, 20, 1.2f, 2).Travel(100, 90));
    clips.push_back(Clip(rig, "idle_breathe", 3.0f)
                        .Swing("spine", x, {{0, 0}, {1.5f, 2}, {3, 0}})
                        .Swing("arm_l", z, {{0, 0}, {1.5f, 3}, {3, 0}})
                        .Swing("arm_r", z, {{0, 0}, {1.5f, -3}, {3, 0}}));
    clips.push_back(
        Clip(rig, "idle_look", 4.0f).Swing("neck", y, {{0, 0}, {1, 30}, {2, 0}, {3, -30}, {4, 0}}));
    clips.push_back(Clip(rig, "talk", 2.0f)
                        .Swing("arm_r", x, {{0, 0}, {0.5f, -40}, {1.5f, -30}, {2, 0}})
                        .Swing("neck", x, {{0, 0}, {0.5f, 8}, {1, 0}, {1.5f, 8}, {2, 0}}));
    clips.push_back(
        Clip(rig, "wave", 2.5f)
            .Swing("arm_r", z, {{0, 0}, {0.5f, -150}, {1, -135}, {1.5f, -160}, {2, -140}, {2.5f, 0}}));
    clips.push_back(Clip(rig, "scratch", 2.0f)
                        .Swing("arm_l", x, {{0, 0}, {0.7f, -150}, {1, -140}, {1.3f, -150}, {2, 0}})
                        .Swing("neck", z, {{0, 0}, {1, -10}, {2, 0}}));
    clips.push_back(Clip(rig, "chain_start", 1.0f).Swing("arm_r", x, {{0, 0}, {1, -60}}));
    clips.push_back(Clip(rig, "chain_loop", 1.5f).Swing("arm_r", x, {{0, -60}, {0.75f, -70}, {1.5f, -60}}));
    clips.push_back(Clip(rig, "chain_end", 1.0f).Swing("arm_r", x, {{0, -60}, {1, 0}}));
    return clips;
}

Mesh::Materials Colours(const std::string& figure)
{
    return {figure + "_front", figure + "_back", figure + "_side"};
}

bool WriteBody(const std::string& folder, const Rig& rig, const std::string& figure, float girth)
{
    const Mesh::Materials colours = Colours(figure);
    Mesh mesh;
    const auto bone = [&rig](const char* name) { return rig.Find(name); };
    mesh.AddBox(Vector3(-16 - girth, 86, -10 - girth), Vector3(16 + girth, 100, 10 + girth), bone("pelvis"),
                colours);
    mesh.AddBox(Vector3(-18 - girth, 100, -10 - girth), Vector3(18 + girth, 152, 10 + girth), bone("spine"),
                colours);
    mesh.AddBox(Vector3(-5, 152, -5), Vector3(5, 163, 5), bone("neck"), colours);
    mesh.AddBox(Vector3(18, 92, -5), Vector3(26, 152, 5), bone("arm_l"), colours);
    mesh.AddBox(Vector3(17, 80, -5), Vector3(27, 92, 5), bone("arm_l"), colours);
    mesh.AddBox(Vector3(-26, 92, -5), Vector3(-18, 152, 5), bone("arm_r"), colours);
    mesh.AddBox(Vector3(-27, 80, -5), Vector3(-17, 92, 5), bone("hand_r"), colours);
    mesh.AddBox(Vector3(4, 8, -6), Vector3(16, 86, 6), bone("leg_l"), colours);
    mesh.AddBox(Vector3(-16, 8, -6), Vector3(-4, 86, 6), bone("leg_r"), colours);
    mesh.AddBox(Vector3(4, 0, -6), Vector3(16, 8, 16), bone("foot_l"), colours);
    mesh.AddBox(Vector3(-16, 0, -6), Vector3(-4, 8, 16), bone("foot_r"), colours);
    return mesh.Write(folder + "/" + figure + "_body.mesh.xml", "hero.skeleton");
}

// The head with eyes and mouth and the poses of the face.
bool WriteHead(const std::string& folder, const Rig& rig, const std::string& figure, bool hat)
{
    Mesh mesh;
    const int head = rig.Find("head");
    mesh.AddBox(Vector3(-11, 163, -10), Vector3(11, 188, 10), head,
                {figure + "_face", figure + "_hair", figure + "_face"});
    if (hat)
        mesh.AddBox(Vector3(-15, 188, -14), Vector3(15, 192, 14), head,
                    {figure + "_hair", figure + "_hair", figure + "_hair"});
    const Mesh::Materials eye = {"figure_eye", "figure_eye", "figure_eye"};
    const int left = mesh.AddBox(Vector3(1.5f, 170, 10), Vector3(5.5f, 174, 11), rig.Find("eye_l"), eye);
    const int right = mesh.AddBox(Vector3(-5.5f, 170, 10), Vector3(-1.5f, 174, 11), rig.Find("eye_r"), eye);
    const int mouth = mesh.AddBox(Vector3(-4, 166, 10), Vector3(4, 168, 11), head,
                                  {"figure_mouth", "figure_mouth", "figure_mouth"});

    const auto lid = [&mesh](int box)
    {
        std::map<int, Vector3> offsets;
        for (int vertex : mesh.Vertices(box, [](const Vector3& p) { return p.y > 173.5f; }))
            offsets[vertex] = Vector3(0, -3.6f, 0);
        return offsets;
    };
    mesh.AddPose("blink_l", lid(left));
    mesh.AddPose("blink_r", lid(right));
    // The mouth's corners move sideways by wide, its lower lip down by open, its corners up by lift.
    const auto shape = [&mesh, mouth](float wide, float open, float lift)
    {
        std::map<int, Vector3> offsets;
        for (int vertex : mesh.Vertices(mouth, [](const Vector3&) { return true; }))
            offsets[vertex] = Vector3::ZERO;
        for (int vertex : mesh.Vertices(mouth, [](const Vector3& p) { return p.x > 3.5f; }))
            offsets[vertex] += Vector3(wide, lift, 0);
        for (int vertex : mesh.Vertices(mouth, [](const Vector3& p) { return p.x < -3.5f; }))
            offsets[vertex] += Vector3(-wide, lift, 0);
        for (int vertex : mesh.Vertices(mouth, [](const Vector3& p) { return p.y < 166.5f; }))
            offsets[vertex] += Vector3(0, -open, 0);
        return offsets;
    };
    mesh.AddPose("mouth_narrow", shape(-2, 1, 0));
    mesh.AddPose("mouth_wide", shape(3, 5, 0));
    mesh.AddPose("mouth_vowel", shape(-1, 4, 0));
    mesh.AddPose("smile", shape(1, 0, 1.5f));
    return mesh.Write(folder + "/" + figure + "_head.mesh.xml", "hero.skeleton");
}

// The keeper's lantern: a hook and a body below it, swung about z by its clip "swing".
bool WriteLantern(const std::string& folder)
{
    Rig rig;
    const int hook = rig.Add("hook", -1, Vector3::ZERO);
    const int body = rig.Add("body", hook, Vector3(0, -8, 0));
    Clip swing(rig, "swing", 2.0f);
    swing.Swing("hook", Vector3::UNIT_Z, {{0, 0}, {0.5f, 20}, {1, 0}, {1.5f, -20}, {2, 0}});
    Mesh mesh;
    const Mesh::Materials frame = {"lantern_frame", "lantern_frame", "lantern_frame"};
    const Mesh::Materials glass = {"lantern_glass", "lantern_glass", "lantern_glass"};
    mesh.AddBox(Vector3(-1, -8, -1), Vector3(1, 0, 1), hook, frame);
    mesh.AddBox(Vector3(-7, -9, -7), Vector3(7, -8, 7), body, frame);
    mesh.AddBox(Vector3(-6, -24, -6), Vector3(6, -9, 6), body, glass);
    mesh.AddBox(Vector3(-7, -25, -7), Vector3(7, -24, 7), body, frame);
    return WriteSkeleton(folder + "/lantern.skeleton.xml", rig, {swing}) &&
           mesh.Write(folder + "/lantern.mesh.xml", "lantern.skeleton");
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make_figure OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const Rig rig = MakeRig();
    Clip bow(rig, "bow", 2.0f);
    bow.Swing("spine", Vector3::UNIT_X, {{0, 0}, {1, 40}, {2, 0}})
        .Swing("neck", Vector3::UNIT_X, {{0, 0}, {1, 15}, {2, 0}});
    const bool written = WriteSkeleton(folder + "/hero.skeleton.xml", rig, MakeClips(rig)) &&
                         WriteSkeleton(folder + "/hero_extra.skeleton.xml", rig, {bow}) &&
                         WriteBody(folder, rig, "hero", 0) && WriteHead(folder, rig, "hero", false) &&
                         WriteBody(folder, rig, "keeper", 3) && WriteHead(folder, rig, "keeper", true) &&
                         WriteLantern(folder);
    return written ? 0 : 1;
}
