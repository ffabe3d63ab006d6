#include "gui/cl_IngameMenu.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_PoolManager.h"
#include "common/LogCall.h"
#include "common/cl_Config.h"
#include "common/cl_Localizer.h"
#include "common/cl_ScriptSystem.h"
#include "gamecomponents/cl_DialogSystem.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "gui/CaptionText.h"
#include "gui/HotspotMarkers.h"
#include "gui/ICursorOwner.h"
#include "gui/OverlayViewport.h"
#include "gui/PillarboxLayout.h"
#include "gui/TextPlacement.h"
#include "gui/cl_TarqTextAreaOverlayElement.h"
#include "minigames/MousePointerIcon.h"
#include "minigames/cl_Minigame.h"
#include "minigames/cl_MinigameManager.h"

#include <OgreException.h>
#include <OgreStringConverter.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgrePanelOverlayElement.h>

#include <algorithm>

namespace
{
const char* const TEXT_FONT = "FormalOutline";
const char* const NO_POINTER = "gui/mp_none";
const char* const TEXT_PREFIX = "st_";
const char* const HOTSPOTS_HINT = "hotspots_hint";
const char* const HOTSPOTS_HINT_FADE = "hotspot_hint_fade";
// The mouse reaches the inventory row within the last 5 of 768 lines.
constexpr float INVENTORY_EDGE = 0.9934895634651184f;
constexpr float PRESSED_POINTER = 0.9f;
// The height of the inventory row and of the party's column panel.
constexpr float INVENTORY_HEIGHT = 0.125f;

Ogre::OverlayManager& Overlays()
{
    return Ogre::OverlayManager::getSingleton();
}

// An overlay or element that may not exist yet.
template <class Shown> void SetShown(Shown* shownThing, bool shown)
{
    if (!shownThing)
        return;
    if (shown)
        shownThing->show();
    else
        shownThing->hide();
}

bool IsOnScreenText(const std::string& name)
{
    return name.compare(0, 3, TEXT_PREFIX) == 0;
}
} // namespace

cl_IngameMenu::cl_IngameMenu() = default;

cl_IngameMenu::~cl_IngameMenu()
{
    DestroyOverlays();
}

// ---------------------------------------------------------------------------------------------------
// Overlays

void cl_IngameMenu::CreateOverlays()
{
    if (m_ingameMenu || !Ogre::OverlayManager::getSingletonPtr())
        return;
    m_shown = true;
    m_inventoryAllowed = true;
    const struct
    {
        Ogre::Overlay** overlay;
        const char* name;
        unsigned short zOrder;
    } layers[] = {
        {&m_ingameMenu, "_ingamemenu", 601},    {&m_pillarbox, "_ol_pillarbox", 630},
        {&m_background, "_ingamemenu_bg", 600}, {&m_mouse, "_ol_mouse", 650},
        {&m_mouseTag, "_ol_mousetag", 649},     {&m_hotspots, "_ol_hotspots", 648},
    };
    for (const auto& layer : layers)
    {
        *layer.overlay = Overlays().create(layer.name);
        (*layer.overlay)->setZOrder(layer.zOrder);
        (*layer.overlay)->show();
    }
    m_viewportAspect = OverlayViewport::Current().Aspect();

    const char* const barNames[] = {"_leftpillarbox", "_rightpillarbox", "_toppillarbox", "_bottompillarbox"};
    for (size_t bar = 0; bar < 4; ++bar)
    {
        m_bars[bar] = CreatePanel(barNames[bar], "gui/pillarbox", "the pillarbox bars");
        m_bars[bar]->setColour(Ogre::ColourValue::Black);
        m_pillarbox->add2D(m_bars[bar]);
    }
    m_inventoryGui.Init(m_ingameMenu, m_background);
    m_partyGui.Init(m_background);

    m_ingameMenuRoot = CreatePanel("_ingamemenu_root", "", "");
    m_ingameMenuRoot->setDimensions(1.0f, 1.0f);
    m_ingameMenuRoot->setTransparent(true);
    m_ingameMenu->add2D(m_ingameMenuRoot);
    m_mouseOverElement = CreateTextElement("_mouseovertext", 0.0f, 0.0f, 0.0f, 0.0f);
    m_currentHintElement = CreateTextElement("_currenthint", 0.0f, 0.0f, 0.0f, 0.0f);
    for (cl_TarqTextAreaOverlayElement* text : {m_mouseOverElement, m_currentHintElement})
    {
        m_ingameMenuRoot->addChild(text);
        text->show();
    }

    m_pointerWidth = 0.04f;
    m_pointerHeight = m_viewportAspect * 0.04f;
    m_mousePointer = CreatePanel("_mousepointer", NO_POINTER, "the pointer");
    m_mousePointer->setDimensions(m_pointerWidth, m_pointerHeight);
    m_mouse->add2D(m_mousePointer);
    m_pointerMaterial = NO_POINTER;
    m_mousePointerTag = CreatePanel("_mousetag", "BaseWhiteNoLighting", "the held item's icon");
    m_mousePointerTag->setDimensions(m_pointerWidth, m_pointerHeight);
    m_mouseTag->add2D(m_mousePointerTag);
    m_markers = std::make_unique<HotspotMarkers>(*m_hotspots, m_resources);

    SetPillarbox(4.0f / 3.0f, 1.6f);
    m_textWidth = m_fontSize * 0.3f * 60.0f;
    m_dialogGui.Create(m_ingameMenu);
    Ogre::OverlayContainer* dialogPanel = m_dialogGui.GetPanel();
    dialogPanel->setDimensions(0.9f - 2.0f * m_sideBarWidth, 0.0f);
    dialogPanel->setPosition(m_sideBarWidth + 0.05f, 1.0f - m_topBarHeight);
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->AddListener(this);
}

void cl_IngameMenu::DestroyOverlays()
{
    if (!m_ingameMenu)
        return;
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->RemoveListener(this);
    m_markers.reset();
    m_dialogGui.Destroy();
    m_partyGui.Destroy();
    m_inventoryGui.Destroy();
    for (const auto& entry : m_namedElements)
        DestroyElement(entry.second);
    m_namedElements.clear();
    for (Ogre::OverlayElement* element : {static_cast<Ogre::OverlayElement*>(m_mouseOverElement),
                                          static_cast<Ogre::OverlayElement*>(m_currentHintElement)})
        DestroyElement(element);
    m_mouseOverElement = m_currentHintElement = nullptr;
    // The overlay manager owns the elements: an overlay lets go of its panels but leaves them.
    for (Ogre::OverlayElement* panel : {m_ingameMenuRoot, m_mousePointer, m_mousePointerTag})
        Overlays().destroyOverlayElement(panel);
    for (Ogre::OverlayElement* bar : m_bars)
        Overlays().destroyOverlayElement(bar);
    for (Ogre::Overlay* overlay : {m_ingameMenu, m_pillarbox, m_background, m_mouse, m_mouseTag, m_hotspots})
        Overlays().destroy(overlay);
    m_ingameMenu = m_pillarbox = m_background = m_mouse = m_mouseTag = m_hotspots = nullptr;
    m_ingameMenuRoot = m_mousePointer = m_mousePointerTag = nullptr;
    std::fill(std::begin(m_bars), std::end(m_bars), nullptr);
}

Ogre::PanelOverlayElement* cl_IngameMenu::CreatePanel(const std::string& name, const std::string& material,
                                                      const char* use)
{
    auto* panel = static_cast<Ogre::PanelOverlayElement*>(Overlays().createOverlayElement("Panel", name));
    panel->setMetricsMode(Ogre::GMM_RELATIVE);
    if (!material.empty() && m_resources.HasMaterial(material, use))
        panel->setMaterialName(material);
    panel->show();
    return panel;
}

void cl_IngameMenu::DestroyElement(Ogre::OverlayElement* element)
{
    if (Ogre::OverlayContainer* parent = element->getParent())
        parent->removeChild(element->getName());
    Overlays().destroyOverlayElement(element);
}

void cl_IngameMenu::Show()
{
    // The column of portraits shows only for a party of more than one.
    m_partyGui.Layout();
    m_shown = true;
    SetShown(m_ingameMenu, true);
    SetShown(m_background, true);
}

void cl_IngameMenu::Hide()
{
    if (!m_shown)
        return;
    m_shown = false;
    SetShown(m_ingameMenu, false);
    SetShown(m_background, false);
}

void cl_IngameMenu::Reset()
{
    m_inventoryAllowed = true;
    m_inventoryGui.SetOpen(false);
    m_dialogGui.Hide();
    if (m_partyGui.IsShown())
        m_partyGui.Hide();
    HideAllTexts();
    SetShown(m_mousePointerTag, false);
    m_mouseOverText.clear();
    if (m_mouseOverElement)
        m_mouseOverElement->setCaption(Ogre::UTFString());
    SetShown(m_mousePointer, true);
    m_hotspotsShown = false;
    m_mouseHidden = false;
    HideHotspotsHint();
    if (m_currentHintElement)
        m_currentHintElement->setCaption(Ogre::UTFString());
}

void cl_IngameMenu::HideMouse()
{
    m_mouseHidden = true;
    SetShown(m_mouse, false);
    SetShown(m_mouseTag, false);
    if (m_hardwareCursor && m_cursorOwner)
        m_cursorOwner->PutCursorAside();
}

void cl_IngameMenu::ShowMouse()
{
    m_mouseHidden = false;
    SetShown(m_mouse, true);
    SetShown(m_mouseTag, true);
    if (m_hardwareCursor && m_cursorOwner)
        m_cursorOwner->RestoreCursor();
}

void cl_IngameMenu::SetHardwareCursor(bool on)
{
    m_hardwareCursor = on;
    // The pointer is chosen anew for the new kind of pointer.
    m_pointerMaterial.clear();
}

void cl_IngameMenu::SetPillarbox(float minAspect, float maxAspect)
{
    const OverlayViewport viewport = OverlayViewport::Current();
    m_viewportAspect = viewport.Aspect();
    const PillarboxLayout layout =
        PillarboxLayout::Compute(viewport.width, viewport.height, minAspect, maxAspect);
    m_sideBarWidth = layout.side;
    m_topBarHeight = layout.top;
    const PillarboxLayout::Bar* bars[] = {&layout.left, &layout.right, &layout.upper, &layout.lower};
    for (size_t bar = 0; bar < 4 && m_bars[bar]; ++bar)
    {
        m_bars[bar]->setPosition(bars[bar]->left, bars[bar]->top);
        m_bars[bar]->setDimensions(bars[bar]->width, bars[bar]->height);
        SetShown(m_bars[bar], bar < 2 ? layout.side > 0.0f : layout.top > 0.0f);
    }
    m_inventoryGui.SetSize(1.0f - 2.0f * layout.side, INVENTORY_HEIGHT);
    m_inventoryGui.SetPosition(layout.side, 0.875f - m_fontSize - layout.top);
    m_partyGui.SetSize(1.0f - 2.0f * layout.side, INVENTORY_HEIGHT);
    m_partyGui.SetPosition(layout.side + SCREEN_MARGIN, layout.top + SCREEN_MARGIN);
}

void cl_IngameMenu::SetFontSize(float size)
{
    m_fontSize = size;
    const Ogre::String height = Ogre::StringConverter::toString(size);
    const auto apply = [&height](Ogre::OverlayElement& element)
    {
        element.setParameter("char_height", height);
        element.setParameter("space_width", "0");
    };
    if (m_mouseOverElement)
        apply(*m_mouseOverElement);
    for (const auto& entry : m_namedElements)
        apply(*entry.second);
    m_textWidth = m_fontSize * 0.3f * 60.0f;
    m_textFormatListeners.Tell([](ITextFormatListener& listener) { listener.OnTextFormatChanged(); });
}

void cl_IngameMenu::AddCustomOverlay(const std::string& name, const std::string& material, float left,
                                     float top, float width, float height)
{
    if (!m_ingameMenu)
        return;
    Ogre::OverlayElement* panel = FindElement(name);
    if (!panel)
    {
        if (!m_resources.HasMaterial(material, "a custom panel"))
            return;
        if (Overlays().hasOverlayElement(name))
        {
            LOG_ERROR("The custom panel '%s' cannot be made: an overlay element has that name.",
                      name.c_str());
            return;
        }
        panel = CreatePanel(name, material, "a custom panel");
        m_ingameMenuRoot->addChild(panel);
        m_namedElements[name] = panel;
    }
    panel->setPosition(left, top);
    panel->setDimensions(width, height);
    panel->show();
}

void cl_IngameMenu::RemoveCustomOverlay(const std::string& name)
{
    const auto found = m_namedElements.find(name);
    if (found == m_namedElements.end())
        return;
    Ogre::OverlayElement* element = found->second;
    m_namedElements.erase(found);
    DestroyElement(element);
}

Ogre::OverlayElement* cl_IngameMenu::FindElement(const std::string& name) const
{
    const auto found = m_namedElements.find(name);
    return found == m_namedElements.end() ? nullptr : found->second;
}

std::string cl_IngameMenu::GetIdAt(float x, float y)
{
    const std::string portrait = m_partyGui.GetIdAt(x, y);
    return portrait.empty() ? m_inventoryGui.GetIdAt(x, y) : portrait;
}

void cl_IngameMenu::MoveMouse(float x, float y)
{
    if (m_dialogGui.IsShown())
        m_inventoryGui.SetOpen(false);
    else if (y < INVENTORY_EDGE)
    {
        const float rowTop = (1.0f - m_fontSize) - m_inventoryGui.GetHeight() * m_inventoryGui.GetBarScale();
        if (y < rowTop && m_inventoryGui.IsOpen())
            m_inventoryGui.SetOpen(false);
    }
    else
        m_inventoryGui.SetOpen(m_inventoryAllowed && (m_inventoryGui.IsOpen() || !m_inventoryGui.IsEmpty()));
    if (m_dialogGui.IsShown())
        m_dialogGui.MouseMoved(x, y);
    if (m_mousePointer)
    {
        m_mousePointer->setPosition(x, y);
        m_mousePointerTag->setPosition(x + 0.01f, y + 0.01f);
    }
}

void cl_IngameMenu::PressMouse()
{
    if (m_hardwareCursor)
    {
        if (m_cursorOwner)
            m_cursorOwner->SetSmallCursor(true);
    }
    else if (m_mousePointer)
        m_mousePointer->setDimensions(m_pointerWidth * PRESSED_POINTER, m_pointerHeight * PRESSED_POINTER);
}

void cl_IngameMenu::ReleaseMouse()
{
    if (m_hardwareCursor)
    {
        if (m_cursorOwner)
            m_cursorOwner->SetSmallCursor(false);
    }
    else if (m_mousePointer)
        m_mousePointer->setDimensions(m_pointerWidth, m_pointerHeight);
}

// ---------------------------------------------------------------------------------------------------
// The pointer

void cl_IngameMenu::UpdateMousePointer()
{
    MousePointerChoice::Situation situation;
    if (const cl_GameComponents* hub = cl_GameComponents::GetInstance())
    {
        situation.dialogLineHighlighted =
            hub->GetDialogSystem().IsDialogActive() && m_dialogGui.GetHoveredEntry() >= 0;
        situation.canInteract = hub->CanInteract();
        if (const cl_ItemAsset* hovered = hub->GetMouseOverObject())
        {
            situation.hovered = true;
            situation.hoveredMode = hovered->GetInteractionMode();
            const cl_ItemAsset* held = hub->GetSelectedItem();
            const cl_AssetLogic* logic = hovered->GetLogic();
            situation.itemHeld = held != nullptr;
            situation.itemAccepted = held && logic && logic->HasInteractionItem(held);
        }
    }
    SetPointerMaterial("gui/mp_" + MousePointerChoice::Word(m_pointerFlags, situation));
}

void cl_IngameMenu::SetPointerMaterial(const std::string& material)
{
    // The pointer is chosen every frame: only a new one is passed on.
    const bool changed = material != m_pointerMaterial;
    m_pointerMaterial = material;
    if (m_hardwareCursor)
    {
        if (changed && m_cursorOwner)
        {
            const size_t slash = material.find('/');
            m_cursorOwner->LoadCursor(slash == std::string::npos ? material : material.substr(slash + 1));
        }
        SetShown(m_mouse, false);
        return;
    }
    if (!m_mousePointer)
        return;
    if (changed)
    {
        const bool exists = m_resources.HasMaterial(material, "the pointer");
        if (exists || m_resources.HasMaterial(NO_POINTER, "the pointer"))
            m_mousePointer->setMaterialName(exists ? material : NO_POINTER);
    }
    if (!m_mouseHidden)
        ShowMouse();
}

void cl_IngameMenu::SetPointerTag(const std::string& material)
{
    if (!m_mousePointerTag)
        return;
    if (material.empty() || !m_resources.HasMaterial(material, "the held item's icon"))
    {
        m_mousePointerTag->hide();
        return;
    }
    m_mousePointerTag->setMaterialName(material);
    m_mousePointerTag->setUV(0.0f, 0.0f, 1.0f, 1.0f);
    m_mousePointerTag->show();
}

void cl_IngameMenu::OnInteractionChanged(cl_ItemAsset* /*object*/)
{
    UpdateMousePointer();
}

void cl_IngameMenu::OnItemSelected(cl_ItemAsset* item)
{
    SetPointerTag(item ? GetMousePointerIconMaterial(item->GetId()) : std::string());
}

// ---------------------------------------------------------------------------------------------------
// Texts

cl_TarqTextAreaOverlayElement* cl_IngameMenu::CreateTextElement(const std::string& name, float left,
                                                                float top, float width, float height)
{
    if (Overlays().hasOverlayElement(name))
    {
        LOG_ERROR("The text '%s' cannot be made: an overlay element has that name.", name.c_str());
        return nullptr;
    }
    auto* element =
        static_cast<cl_TarqTextAreaOverlayElement*>(Overlays().createOverlayElement("TarqTextArea", name));
    element->setMetricsMode(Ogre::GMM_RELATIVE);
    element->setPosition(left, top);
    element->setDimensions(width, height);
    ApplyTextStyle(*element);
    return element;
}

void cl_IngameMenu::ApplyTextStyle(cl_TarqTextAreaOverlayElement& element)
{
    if (m_resources.HasFont(TEXT_FONT, "the in-game texts"))
    {
        try
        {
            element.setParameter("font_name", TEXT_FONT);
        }
        catch (const Ogre::Exception& exception)
        {
            LOG_ERROR("The font '%s' cannot be loaded: %s", TEXT_FONT, exception.getDescription().c_str());
        }
    }
    element.setParameter("char_height", Ogre::StringConverter::toString(m_fontSize));
    element.setParameter("spacing_offset", Ogre::StringConverter::toString(m_spacingOffset));
    element.setParameter("line_spacing", "0.8");
}

void cl_IngameMenu::SetCentredText(cl_TarqTextAreaOverlayElement& element, const std::string& text, float top)
{
    element.setCaption(CaptionFromUtf8(text));
    const float width = element.GetTextWidth();
    element.setDimensions(width, m_fontSize);
    element.setPosition((1.0f - width) * 0.5f, top);
}

void cl_IngameMenu::SetMouseOverText(const std::string& text)
{
    m_mouseOverText = text;
    if (m_mouseOverElement)
        SetCentredText(*m_mouseOverElement, text, 1.0f - m_fontSize - m_topBarHeight);
}

void cl_IngameMenu::ShowCurrentHint()
{
    const cl_GameState* gameState = cl_GameState::GetInstance();
    if (m_currentHintElement)
        SetCentredText(*m_currentHintElement, gameState ? gameState->GetCurrentHint() : std::string(),
                       m_topBarHeight);
}

cl_TarqTextAreaOverlayElement* cl_IngameMenu::OnScreenText(const std::string& id, bool& isNew)
{
    const std::string name = TEXT_PREFIX + id;
    isNew = false;
    if (Ogre::OverlayElement* element = FindElement(name))
    {
        auto* text = dynamic_cast<cl_TarqTextAreaOverlayElement*>(element);
        if (!text)
            LOG_ERROR("The on-screen text '%s' cannot be shown: a custom panel has its name.", id.c_str());
        return text;
    }
    cl_TarqTextAreaOverlayElement* text = CreateTextElement(name, 0.05f, 0.2f, m_textWidth, 0.5f);
    if (!text)
        return nullptr;
    m_ingameMenuRoot->addChild(text);
    m_namedElements[name] = text;
    isNew = true;
    return text;
}

void cl_IngameMenu::ShowOnScreenText(const std::string& id, const std::string& text)
{
    bool isNew = false;
    cl_TarqTextAreaOverlayElement* element = m_ingameMenu ? OnScreenText(id, isNew) : nullptr;
    if (!element)
        return;
    element->setColour(Ogre::ColourValue::White);
    element->setDimensions(m_textWidth, 0.5f);
    element->setCaption(CaptionFromUtf8(text));
    PlaceText(*element, 0.5f, 0.5f);
    element->show();
}

void cl_IngameMenu::ShowSpeechText(const std::string& id, const std::string& text, const std::string& speaker)
{
    bool isNew = false;
    cl_TarqTextAreaOverlayElement* element = m_subtitles && m_ingameMenu ? OnScreenText(id, isNew) : nullptr;
    if (!element)
        return;
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const auto* character =
        pools ? dynamic_cast<const cl_CharacterAsset*>(pools->GetCharacterPool()->FindAsset(speaker))
              : nullptr;
    if (isNew && character)
        element->setColour(character->GetSpeechColour());
    element->setDimensions(m_textWidth, 0.5f);
    element->setCaption(CaptionFromUtf8(text));
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    const cl_Character* speaking = characters ? characters->GetCharacterForSpeaker(speaker) : nullptr;
    float x = 0.0f;
    float y = 0.0f;
    if (speaking && speaking->GetScreenPosition(x, y))
        PlaceText(*element, x, y);
    element->show();
}

void cl_IngameMenu::HideText(const std::string& id)
{
    SetShown(FindElement(TEXT_PREFIX + id), false);
}

void cl_IngameMenu::HideAllTexts()
{
    for (const auto& entry : m_namedElements)
    {
        if (IsOnScreenText(entry.first))
            entry.second->hide();
    }
}

void cl_IngameMenu::PlaceText(cl_TarqTextAreaOverlayElement& element, float x, float y)
{
    element.UpdateLayout();
    const TextPlacement placement{m_fontSize, m_sideBarWidth, m_topBarHeight, SCREEN_MARGIN};
    const TextPlacement::Position position =
        placement.Place(x, y, std::min(element.GetTextWidth(), element.getWidth()), element.getHeight());
    element.setPosition(position.left, position.top);
}

// ---------------------------------------------------------------------------------------------------
// Hotspot markers

bool cl_IngameMenu::HotspotsAllowed(int difficulty, const std::string& setting)
{
    const std::string value = setting.empty() ? "default" : setting;
    if (difficulty == 1 && value == "default")
        return false;
    return value != "off";
}

bool cl_IngameMenu::HotspotsAllowed() const
{
    cl_ScriptSystem* script = cl_ScriptSystem::GetInstance();
    const cl_Config* config = cl_Config::GetInstance();
    return HotspotsAllowed(script ? script->GetDifficulty() : 0, config ? config->GetValue("hotspots") : "");
}

void cl_IngameMenu::PressSpace()
{
    if (HotspotsAllowed())
    {
        m_hotspotsShown = true;
        m_hotspotTimer = 0.0f;
        ShowHotspots();
    }
    else
        ShowHotspotsHint();
    ShowCurrentHint();
}

void cl_IngameMenu::ReleaseSpace(int key)
{
    if (key != SPACE_KEY)
        return;
    if (m_hotspotsShown)
    {
        m_hotspotTimer = 0.0f;
        m_hotspotsShown = false;
        HideHotspots();
    }
    else
        HideHotspotsHint();
    if (m_currentHintElement)
        m_currentHintElement->setCaption(Ogre::UTFString());
}

void cl_IngameMenu::ShowHotspotsHint()
{
    cl_ScriptSystem* script = cl_ScriptSystem::GetInstance();
    const char* token = script && script->GetDifficulty() != 0 ? "hotspot_hint_hard" : "hotspot_hint_normal";
    const cl_Localizer* localizer = cl_Localizer::GetInstance();
    ShowOnScreenText(HOTSPOTS_HINT, localizer ? localizer->FindToken(token) : token);
    AddCustomOverlay(HOTSPOTS_HINT_FADE, "dimout", 0.0f, 0.0f, 1.0f, 1.0f);
}

void cl_IngameMenu::HideHotspotsHint()
{
    HideText(HOTSPOTS_HINT);
    RemoveCustomOverlay(HOTSPOTS_HINT_FADE);
}

void cl_IngameMenu::ShowHotspots()
{
    HideHotspots();
    UpdateHotspots();
}

void cl_IngameMenu::HideHotspots()
{
    if (m_markers)
        m_markers->DestroyAll();
}

void cl_IngameMenu::UpdateHotspots()
{
    if (!m_markers)
        return;
    m_hotSpots.clear();
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    if (const cl_Scene* scene = scenes ? scenes->GetLoadedScene() : nullptr)
        scene->GetHotSpots(m_hotSpots);
    const cl_MinigameManager* minigames = cl_MinigameManager::GetInstance();
    if (cl_Minigame* minigame = minigames ? minigames->GetCurrentMinigame() : nullptr)
        minigame->GetHotspots(m_hotSpots);
    m_markers->Update(m_hotSpots, m_hotspotTimer, m_viewportAspect);
}
