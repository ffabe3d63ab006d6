#include "gui/cl_DialogGui.h"

#include "assets/cl_CharacterAsset.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_SequencePlayer.h"
#include "gui/CaptionText.h"
#include "gui/cl_IngameMenu.h"
#include "gui/cl_TarqTextAreaOverlayElement.h"

#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>

#include <string>

namespace
{
cl_DialogSystem* Dialogs()
{
    cl_GameComponents* hub = cl_GameComponents::GetInstance();
    return hub ? &hub->GetDialogSystem() : nullptr;
}

const cl_SequencePlayer* Sequences()
{
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    return hub ? &hub->GetSequencePlayer() : nullptr;
}
} // namespace

cl_DialogGui::cl_DialogGui(cl_IngameMenu& menu) : m_menu(menu) {}

cl_DialogGui::~cl_DialogGui()
{
    Destroy();
}

void cl_DialogGui::Create(Ogre::Overlay* overlay)
{
    m_overlay = overlay;
    m_panel = static_cast<Ogre::OverlayContainer*>(
        Ogre::OverlayManager::getSingleton().createOverlayElement("Panel", "_dialog"));
    m_panel->setMetricsMode(Ogre::GMM_RELATIVE);
    m_panel->show();
    if (m_resources.HasMaterial("gui/dialog_back", "the dialog panel"))
        m_panel->setMaterialName("gui/dialog_back");
    m_overlay->add2D(m_panel);
    if (cl_DialogSystem* dialogs = Dialogs())
        dialogs->AddListener(this);
    m_menu.AddTextFormatListener(this);
}

void cl_DialogGui::Destroy()
{
    if (!m_overlay || !m_panel)
        return;
    m_overlay->remove2D(m_panel);
    ClearLines();
    Ogre::OverlayManager::getSingleton().destroyOverlayElement(m_panel);
    if (cl_DialogSystem* dialogs = Dialogs())
        dialogs->RemoveListener(this);
    m_menu.RemoveTextFormatListener(this);
    m_overlay = nullptr;
    m_panel = nullptr;
}

void cl_DialogGui::Update(float dt)
{
    if (!m_shown)
    {
        const cl_SequencePlayer* sequences = Sequences();
        if (m_choicesPending && (!sequences || sequences->IsForegroundInterruptible()))
            ShowPanel();
        return;
    }
    if (!m_panel)
        return;
    const float height = m_panel->getHeight();
    if (height != m_targetHeight)
    {
        const float reach = m_speed * dt;
        const float step = std::clamp(m_targetHeight - height, -reach, reach);
        // The bottom edge stays where it is.
        m_panel->setTop(m_panel->getTop() + height - (height + step));
        m_panel->setHeight(height + step);
    }
    if (m_panel->getHeight() == 0.0f && m_targetHeight == 0.0f)
    {
        const cl_SequencePlayer* sequences = Sequences();
        if (!m_dialogRunning)
        {
            ClearLines();
            Hide();
        }
        else if (!sequences || !sequences->IsForegroundPlaying())
        {
            ClearLines();
            BuildLines();
        }
    }
}

void cl_DialogGui::MouseMoved(float x, float y)
{
    if (!m_shown || !m_panel)
        return;
    m_mouseInside = m_panel->contains(x, y);
    for (size_t i = 0; i < m_lines.size(); ++i)
    {
        if (m_lines[i]->contains(x, y))
        {
            Highlight(static_cast<int>(i));
            return;
        }
    }
    Highlight(-1);
}

void cl_DialogGui::Hide()
{
    if (!m_shown)
        return;
    m_shown = false;
    if (m_panel)
        m_panel->hide();
    Highlight(-1);
}

void cl_DialogGui::OnChoicesChanged()
{
    PickHighlightColour();
    m_menu.SetMouseOverText("");
    m_choicesPending = true;
    BuildLines();
}

void cl_DialogGui::OnChoicesHidden()
{
    m_choicesPending = false;
    ClearLines();
}

void cl_DialogGui::OnDialogStart()
{
    PickHighlightColour();
    if (!m_shown)
        ShowPanel();
    m_dialogRunning = true;
    m_menu.SetMouseOverText("");
}

void cl_DialogGui::OnDialogExit()
{
    m_dialogRunning = false;
    m_targetHeight = 0.0f;
}

void cl_DialogGui::OnTopicEnter()
{
    // The panel closes while the topic plays.
    m_targetHeight = 0.0f;
}

void cl_DialogGui::OnTextFormatChanged()
{
    for (cl_TarqTextAreaOverlayElement* line : m_lines)
        m_menu.ApplyTextStyle(*line);
}

void cl_DialogGui::PickHighlightColour()
{
    const cl_GameState* gameState = cl_GameState::GetInstance();
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const auto* character =
        gameState && pools ? dynamic_cast<const cl_CharacterAsset*>(
                                 pools->GetCharacterPool()->FindAsset(gameState->GetCurrentCharacterId()))
                           : nullptr;
    m_highlightColour = character ? character->GetSpeechColour() : Ogre::ColourValue::Green;
}

void cl_DialogGui::Highlight(int index)
{
    if (m_highlighted >= 0 && m_highlighted < static_cast<int>(m_lines.size()))
        m_lines[m_highlighted]->setColour(Ogre::ColourValue::White);
    m_highlighted = index < static_cast<int>(m_lines.size()) ? index : -1;
    if (m_highlighted >= 0)
        m_lines[m_highlighted]->setColour(m_highlightColour);
}

void cl_DialogGui::ShowPanel()
{
    m_shown = true;
    if (m_panel)
        m_panel->show();
    Highlight(-1);
}

void cl_DialogGui::BuildLines()
{
    ClearLines();
    std::vector<std::string> texts;
    if (const cl_DialogSystem* dialogs = Dialogs())
        dialogs->GetEntryTexts(texts);
    float y = m_insetTop;
    for (size_t i = 0; i < texts.size() && m_panel; ++i)
    {
        const float width = m_panel->getWidth() - 2.0f * m_insetX;
        cl_TarqTextAreaOverlayElement* line =
            m_menu.CreateTextElement("choice" + std::to_string(i), m_insetX, y, width, 0.0f);
        if (!line)
            continue;
        line->setCaption(CaptionFromUtf8(texts[i]));
        line->setColour(Ogre::ColourValue::White);
        m_panel->addChild(line);
        line->show();
        line->UpdateLayout();
        y += line->getHeight() + (i + 1 < texts.size() ? m_lineGap : 0.0f);
        m_lines.push_back(line);
    }
    m_targetHeight = m_insetTop + y;
    if (texts.empty())
    {
        m_targetHeight = 0.0f;
        m_dialogRunning = false;
    }
    m_speed = m_targetHeight * 4.0f;
}

void cl_DialogGui::ClearLines()
{
    for (cl_TarqTextAreaOverlayElement* line : m_lines)
    {
        m_panel->removeChild(line->getName());
        Ogre::OverlayManager::getSingleton().destroyOverlayElement(line);
    }
    m_lines.clear();
    m_highlighted = -1;
    m_targetHeight = 0.0f;
    m_speed = m_panel ? m_panel->getHeight() * 4.0f : 0.0f;
}
