#include "graphics/cl_PatchLoader.h"

#include "common/LogCall.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_LightPatch.h"
#include "graphics/cl_MultitextureAnimatedPatch.h"
#include "graphics/cl_TexturePane.h"

#include <tinyxml.h>

#include <cstdint>

namespace
{
const uint8_t BACKGROUND_GROUP = 0;
const uint8_t SCENE_GROUP = 70;
const uint8_t LIGHT_GROUP = 75;
const uint8_t SHADOW_GROUP = 80;
const uint8_t FOREGROUND_GROUP = 90;
// Visibility bits of the views that show reflections and refractions.
const uint32_t REFLECTION_BIT = 2;
const uint32_t REFRACTION_BIT = 4;
// More frame textures than any picture needs: a count past it is data gone wrong, not a patch.
const long long MAX_FRAME_TEXTURES = 1024;

bool StartsWith(const std::string& text, const char* word)
{
    return text.compare(0, std::char_traits<char>::length(word), word) == 0;
}

// The number after the first occurrence of sign; 0 when none follows it.
int NumberAfter(const std::string& text, size_t sign)
{
    int number = 0;
    ReadInteger(text.substr(sign + 1), number);
    return number;
}
} // namespace

std::unique_ptr<cl_Patch> cl_PatchLoader::Load(const TiXmlElement& element) const
{
    const std::string& name = element.ValueStr();
    Kind kind = Kind::Plain;
    if (name == "animatedpatch")
        kind = element.FirstChildElement("framelayout") ? Kind::Animated : Kind::Plain;
    else if (name == "foregroundpatch")
        kind = Kind::Foreground;
    else if (name == "scenepatch")
        kind = Kind::Scene;
    else if (name == "lightpatch")
        kind = Kind::Light;
    else if (name != "patch")
    {
        LOG_WARNING("Backdrop '%s': '%s' is no patch element.", m_backdrop.GetName().c_str(), name.c_str());
        return nullptr;
    }

    const std::string* widthText = Text(element, "width");
    const std::string* heightText = Text(element, "height");
    float width = 0.0f;
    float height = 0.0f;
    if (!widthText || !heightText || !ReadNumber(*widthText, width) || !ReadNumber(*heightText, height))
    {
        LOG_WARNING("Backdrop '%s': a %s without a width and a height makes no patch.",
                    m_backdrop.GetName().c_str(), name.c_str());
        return nullptr;
    }

    std::unique_ptr<cl_Patch> patch = Create(kind, element, width, height);
    LoadTexture(*patch, element);
    patch->SetPosition(Number(element, "x", 0.0f), Number(element, "y", 0.0f));
    LoadRectangle(*patch, element, width, height);
    LoadDrawing(*patch, kind, element);
    if (kind == Kind::Animated)
        LoadAnimation(static_cast<cl_AnimatedPatch&>(*patch), element);
    if (kind == Kind::Light)
        LoadLight(static_cast<cl_LightPatch&>(*patch), element);
    if (const TiXmlElement* alpha = element.FirstChildElement("alpha"))
    {
        const std::string source = TextAttribute(*alpha, "src", "");
        if (!patch->SetAlphaSource(source))
            LOG_WARNING("Backdrop '%s': the alpha source '%s' of a %s does not exist.",
                        m_backdrop.GetName().c_str(), source.c_str(), name.c_str());
    }
    return patch;
}

uint8_t cl_PatchLoader::ReadRenderQueue(const std::string& text, uint8_t fallback)
{
    int group = fallback;
    int number = 0;
    if (ReadInteger(text, number) && number >= 0 && number <= 255)
        group = number;
    else if (StartsWith(text, "foreground"))
        group = FOREGROUND_GROUP;
    else if (StartsWith(text, "scene"))
        group = SCENE_GROUP;
    else if (StartsWith(text, "light"))
        group = LIGHT_GROUP;
    else if (StartsWith(text, "shadow"))
        group = SHADOW_GROUP;
    else if (StartsWith(text, "background"))
        group = BACKGROUND_GROUP;

    int offset = 0;
    const size_t plus = text.find('+');
    const size_t minus = text.find('-');
    if (plus != std::string::npos)
        offset = NumberAfter(text, plus);
    else if (minus != std::string::npos)
        offset = -NumberAfter(text, minus);
    // Unsigned, so that the sum wraps instead of overflowing.
    return static_cast<uint8_t>(static_cast<unsigned>(group) + static_cast<unsigned>(offset));
}

const std::string* cl_PatchLoader::Text(const TiXmlElement& element, const char* name)
{
    const std::string* text = element.Attribute(std::string(name));
    return text && !text->empty() ? text : nullptr;
}

float cl_PatchLoader::Number(const TiXmlElement& element, const char* name, float fallback) const
{
    return Parsed(element, name, fallback, &ReadNumber, "number");
}

int cl_PatchLoader::Integer(const TiXmlElement& element, const char* name, int fallback) const
{
    return Parsed(element, name, fallback, &ReadInteger, "integer");
}

template <class Value>
Value cl_PatchLoader::Parsed(const TiXmlElement& element, const char* name, Value fallback,
                             bool (*read)(const std::string&, Value&), const char* kind) const
{
    const std::string* text = Text(element, name);
    Value value = fallback;
    if (text && !read(*text, value))
        LOG_WARNING("Backdrop '%s': the %s of a %s is no %s: '%s'.", m_backdrop.GetName().c_str(), name,
                    element.Value(), kind, text->c_str());
    return value;
}

bool cl_PatchLoader::Flag(const TiXmlElement& element, const char* name, bool fallback)
{
    const std::string* text = Text(element, name);
    return text ? *text == "true" : fallback;
}

std::unique_ptr<cl_Patch> cl_PatchLoader::Create(Kind kind, const TiXmlElement& element, float width,
                                                 float height) const
{
    if (kind == Kind::Light)
        return std::make_unique<cl_LightPatch>(m_backdrop, width, height);
    if (kind != Kind::Animated)
        return std::make_unique<cl_Patch>(m_backdrop, width, height);
    if (Flag(*element.FirstChildElement("framelayout"), "multitexture", false))
        return std::make_unique<cl_MultitextureAnimatedPatch>(m_backdrop, width, height);
    return std::make_unique<cl_AnimatedPatch>(m_backdrop, width, height);
}

void cl_PatchLoader::LoadTexture(cl_Patch& patch, const TiXmlElement& element) const
{
    const std::string* source = Text(element, "src");
    if (!source)
    {
        LOG_WARNING("Backdrop '%s': a %s without src shows no texture.", m_backdrop.GetName().c_str(),
                    element.Value());
        return;
    }
    std::string texture = *source;
    if (texture.find('.') == std::string::npos)
        texture += ".dds";

    auto* frames = dynamic_cast<cl_MultitextureAnimatedPatch*>(&patch);
    if (!frames)
    {
        patch.SetTexture(texture);
        return;
    }
    const TiXmlElement& layout = *element.FirstChildElement("framelayout");
    int perTexture = Integer(layout, "framesPerTexture", 1);
    if (perTexture < 1)
    {
        LOG_WARNING("Backdrop '%s': %i frames per texture count as 1.", m_backdrop.GetName().c_str(),
                    perTexture);
        perTexture = 1;
    }
    const long long count = Integer(layout, "count", 1);
    long long textures = count > 0 ? (count + perTexture - 1) / perTexture : 0;
    if (textures > MAX_FRAME_TEXTURES)
    {
        LOG_WARNING("Backdrop '%s': %lld frame textures are too many; the patch takes the first %lld.",
                    m_backdrop.GetName().c_str(), textures, MAX_FRAME_TEXTURES);
        textures = MAX_FRAME_TEXTURES;
    }
    frames->CreateFrameMaterials(texture, static_cast<int>(textures));
    frames->SetFramesPerTexture(perTexture);
}

void cl_PatchLoader::LoadRectangle(cl_Patch& patch, const TiXmlElement& element, float width,
                                   float height) const
{
    const float textureWidth = Number(element, "texWidth", width);
    const float textureHeight = Number(element, "texHeight", height);
    patch.SetSize(textureWidth, textureHeight);
    patch.SetTexelScale(width != 0.0f ? textureWidth / width : 1.0f,
                        height != 0.0f ? textureHeight / height : 1.0f);
    patch.SetTextureRect(Number(element, "offsetX", 0.0f), Number(element, "offsetY", 0.0f), textureWidth,
                         textureHeight);
}

void cl_PatchLoader::LoadDrawing(cl_Patch& patch, Kind kind, const TiXmlElement& element) const
{
    uint8_t group = BACKGROUND_GROUP;
    if (kind == Kind::Scene)
        group = SCENE_GROUP;
    else if (kind == Kind::Foreground)
        group = FOREGROUND_GROUP;
    else if (kind == Kind::Light)
        group = LIGHT_GROUP;
    if (const std::string* queue = Text(element, "renderqueue"))
        group = ReadRenderQueue(*queue, group);
    const int priority = Integer(element, "depthBias", kind == Kind::Light || kind == Kind::Animated ? 1 : 0);
    m_backdrop.PlaceInRenderQueue(patch, group, priority);
    patch.SetDepthWrite(Flag(element, "depthwrite", false));
    patch.SetDepthCheck(Flag(element, "depthcheck", kind == Kind::Scene || kind == Kind::Light));
    patch.UpdateMaterial();

    if (kind != Kind::Light)
    {
        patch.SetManualAlpha(Flag(element, "alpha", kind == Kind::Foreground || kind == Kind::Scene));
        patch.UpdateMaterial();
    }
    if (Text(element, "manualalpha"))
    {
        patch.SetAlpha(Number(element, "manualalpha", patch.GetAlpha()));
        patch.UpdateMaterial();
    }
    if (Text(element, "camDist"))
    {
        patch.SetCameraDistance(Number(element, "camDist", 0.0f));
        patch.SetDistanceMode(0);
        patch.UpdatePosition();
    }
    if (const std::string* visible = Text(element, "visible"))
    {
        if (*visible != "true")
            patch.Hide();
    }
    uint32_t flags = 1;
    if (Flag(element, "reflection", false))
        flags |= REFLECTION_BIT;
    if (Flag(element, "refraction", false))
        flags |= REFRACTION_BIT;
    patch.GetPane().setVisibilityFlags(flags);
}

void cl_PatchLoader::LoadAnimation(cl_AnimatedPatch& patch, const TiXmlElement& element) const
{
    const float duration = Number(element, "duration", 1.0f);
    if (duration > 0.0f)
        patch.SetDuration(duration);
    else
    {
        LOG_WARNING("Backdrop '%s': an animation of %f seconds plays in 1 second.",
                    m_backdrop.GetName().c_str(), static_cast<double>(duration));
        patch.SetDuration(1.0f);
    }
    const TiXmlElement& layout = *element.FirstChildElement("framelayout");
    patch.SetFrameLayout(Integer(layout, "count", 1), Integer(layout, "framesPerLine", 1));
    if (const std::string* enabled = Text(element, "enabled"))
        patch.SetPlaying(*enabled == "true");
    if (const std::string* loop = Text(element, "loop"))
    {
        if (*loop == "bounce")
            patch.SetMode(cl_AnimatedPatch::MODE_BOUNCE);
        else if (*loop == "none")
            patch.SetMode(cl_AnimatedPatch::MODE_NONE);
    }
    if (Text(element, "timePosition"))
        patch.SetTimePosition(Number(element, "timePosition", 0.0f));
}

void cl_PatchLoader::LoadLight(cl_LightPatch& patch, const TiXmlElement& element) const
{
    if (Text(element, "alpha"))
        patch.SetAlpha(Number(element, "alpha", 1.0f));
    if (const std::string* mode = Text(element, "mode"))
    {
        if (*mode == "darken")
            patch.SetLightMode(cl_LightPatch::LIGHT_DARKEN);
    }
    if (const TiXmlElement* colour = element.FirstChildElement("color"))
    {
        // A part that is missing keeps its 1; one that is there but no number is 0.
        Ogre::ColourValue value = Ogre::ColourValue::White;
        float* parts[] = {&value.r, &value.g, &value.b};
        const char* names[] = {"r", "g", "b"};
        for (int part = 0; part < 3; ++part)
        {
            if (const std::string* text = colour->Attribute(std::string(names[part])))
            {
                if (!ReadNumber(*text, *parts[part]))
                    *parts[part] = 0.0f;
            }
        }
        value.a = NumberAttribute(*colour, "a", 1.0f);
        patch.SetColor(value);
    }
    // The mode and the alpha take effect also without a colour.
    patch.UpdateMaterial();
}
