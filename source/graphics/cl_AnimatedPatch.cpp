#include "graphics/cl_AnimatedPatch.h"

#include "common/LogCall.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_TexturePane.h"

#include <OgreMatrix4.h>
#include <OgreTextureUnitState.h>

#include <algorithm>
#include <cmath>

namespace
{
// The hidden border of each frame, in texels.
const float BORDER = 2.0f;
// A time that lies on a frame's start (SetFrame) may come out a hair below it in float arithmetic; this
// share of a frame keeps it in its frame.
const double FRAME_START_TOLERANCE = 1e-4;
} // namespace

cl_AnimatedPatch::cl_AnimatedPatch(cl_Backdrop& backdrop, float width, float height)
    : cl_Patch(backdrop, width, height)
{
}

void cl_AnimatedPatch::Update(float dt)
{
    cl_Patch::Update(dt);
    if (m_playing)
        Advance(dt);
    RefreshFrame();
}

void cl_AnimatedPatch::Advance(float dt)
{
    if (m_remainingPause <= 0.0f)
    {
        m_timePosition += m_speed * dt;
    }
    else
    {
        m_remainingPause -= m_speed * dt;
        if (m_remainingPause < 0.0f)
        {
            m_timePosition = -m_remainingPause;
            m_remainingPause = 0.0f;
        }
    }

    if (m_mode == MODE_LOOP)
    {
        if (m_timePosition > m_duration && m_loopDelay > 0.0f)
        {
            m_timePosition = m_duration;
            m_remainingPause = m_loopDelay;
        }
        // Backward play loops too: a time below 0 wraps around to the end.
        else if ((m_timePosition > m_duration || m_timePosition < 0.0f) && m_duration > 0.0f)
        {
            m_timePosition = std::fmod(m_timePosition, m_duration);
            if (m_timePosition < 0.0f)
                m_timePosition += m_duration;
        }
    }
    else if (m_mode == MODE_BOUNCE)
    {
        while (m_timePosition > m_duration)
        {
            m_timePosition = 2.0f * m_duration - m_timePosition;
            m_speed = -m_speed;
        }
        if (m_timePosition < 0.0f)
        {
            m_timePosition = -m_timePosition;
            m_speed = -m_speed;
        }
    }
    else if (m_timePosition > m_duration || m_timePosition < 0.0f)
    {
        m_timePosition = m_timePosition > m_duration ? m_duration : 0.0f;
        m_playing = false;
    }
}

void cl_AnimatedPatch::RefreshFrame()
{
    const double share =
        static_cast<double>(m_timePosition) * m_frameCount / m_duration + FRAME_START_TOLERANCE;
    // Written so that a time that is no number (a zero duration) shows the first frame.
    int frame = 0;
    if (share >= m_frameCount)
        frame = m_frameCount - 1;
    else if (share >= 1.0)
        frame = static_cast<int>(share);
    if (frame != m_currentFrame)
    {
        m_currentFrame = frame;
        ApplyFrame();
    }
}

void cl_AnimatedPatch::SetPosition(float x, float y)
{
    cl_Patch::SetPosition(x + BORDER, y + BORDER);
}

void cl_AnimatedPatch::SetTextureRect(float left, float top, float width, float height)
{
    cl_Patch::SetTextureRect(left, top, width - 2.0f * BORDER * m_texelScale.x,
                             height - 2.0f * BORDER * m_texelScale.y);
}

void cl_AnimatedPatch::ApplyFrame()
{
    ShowCell(std::max(m_currentFrame, 0));
}

void cl_AnimatedPatch::ShowCell(int cell)
{
    SetTextureOffset(m_frameWidth * static_cast<float>(cell % m_framesPerLine),
                     m_frameHeight * static_cast<float>(cell / m_framesPerLine));
}

void cl_AnimatedPatch::SetTimePosition(float time)
{
    m_timePosition = time;
    RefreshFrame();
}

void cl_AnimatedPatch::SetFrame(int frame)
{
    m_timePosition = static_cast<float>(frame) * (m_duration / static_cast<float>(m_frameCount));
    RefreshFrame();
}

void cl_AnimatedPatch::SetMode(int mode)
{
    m_mode = mode;
    Update(0.0f);
}

void cl_AnimatedPatch::SetFrameLayout(int count, int perLine)
{
    if (count < 1 || perLine < 1)
        LOG_WARNING(
            "Backdrop '%s': a frame layout of %i frames, %i in a row, counts as at least one of each.",
            m_backdrop.GetName().c_str(), count, perLine);
    m_frameCount = std::max(count, 1);
    m_framesPerLine = std::max(perLine, 1);
    const Ogre::Vector2 textureSize = GetTextureSize();
    m_frameWidth = m_size.x / textureSize.x;
    m_frameHeight = m_size.y / textureSize.y;
    if (Ogre::TextureUnitState* unit = FirstTextureUnit(GetMaterial(), true))
        unit->setTextureAddressingMode(Ogre::TextureUnitState::TAM_CLAMP);
    ApplyFrame();
}

void cl_AnimatedPatch::SetTextureOffset(float u, float v)
{
    const Ogre::MaterialPtr material = GetMaterial();
    Ogre::TextureUnitState* unit = IsOwnMaterial(material) ? FirstTextureUnit(material, true) : nullptr;
    if (!unit)
        return;
    const Ogre::Vector2 textureSize = GetTextureSize();
    Ogre::Matrix4 translation = Ogre::Matrix4::IDENTITY;
    translation.makeTrans(u + BORDER * m_texelScale.x / textureSize.x,
                          v + BORDER * m_texelScale.y / textureSize.y, 0.0f);
    unit->setTextureTransform(translation);
}
