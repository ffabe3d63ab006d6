#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TiXmlElement;
class cl_AnimatedPatch;
class cl_Backdrop;
class cl_LightPatch;
class cl_Patch;

// Reads the patch elements of a backdrop: `patch`, `animatedpatch` (animated only with a `framelayout`
// child), `foregroundpatch`, `scenepatch` and `lightpatch`, each kind with its own defaults. Attributes
// count only when present and not empty; "true" is the whole word. What is wrong with an element is
// logged with the backdrop's name, and the rest of the element is read.
class cl_PatchLoader
{
public:
    // backdrop: initialised; it must outlive the loader.
    explicit cl_PatchLoader(cl_Backdrop& backdrop) : m_backdrop(backdrop) {}

    // The patch the element describes, for the backdrop to keep; null (logged) for an element of another
    // name or without `width` or `height`.
    std::unique_ptr<cl_Patch> Load(const TiXmlElement& element) const;

    // The render-queue group that a `renderqueue` text names: a number from 0 to 255, else the group of
    // the word it starts with (foreground 90, scene 70, light 75, shadow 80, background 0), else
    // fallback; then plus the number after its first '+', or else minus the number after its first '-',
    // wrapped to a byte.
    static uint8_t ReadRenderQueue(const std::string& text, uint8_t fallback);

private:
    enum class Kind
    {
        Plain,
        Animated,
        Foreground,
        Scene,
        Light,
    };

    // The attribute's text; null when it is absent or empty.
    static const std::string* Text(const TiXmlElement& element, const char* name);
    // The attribute's number; fallback when it is absent, and with a warning when it is no number.
    float Number(const TiXmlElement& element, const char* name, float fallback) const;
    int Integer(const TiXmlElement& element, const char* name, int fallback) const;
    // The attribute read by read; fallback when it is absent, and with a warning naming kind when read
    // refuses it.
    template <class Value>
    Value Parsed(const TiXmlElement& element, const char* name, Value fallback,
                 bool (*read)(const std::string&, Value&), const char* kind) const;
    // Whether the attribute is "true"; fallback when it is absent.
    static bool Flag(const TiXmlElement& element, const char* name, bool fallback);

    std::unique_ptr<cl_Patch> Create(Kind kind, const TiXmlElement& element, float width, float height) const;
    void LoadTexture(cl_Patch& patch, const TiXmlElement& element) const;
    void LoadRectangle(cl_Patch& patch, const TiXmlElement& element, float width, float height) const;
    void LoadDrawing(cl_Patch& patch, Kind kind, const TiXmlElement& element) const;
    void LoadAnimation(cl_AnimatedPatch& patch, const TiXmlElement& element) const;
    void LoadLight(cl_LightPatch& patch, const TiXmlElement& element) const;

    cl_Backdrop& m_backdrop;
};
