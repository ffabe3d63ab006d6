#pragma once

#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "support/DemoRig.h"
#include "support/LogCapture.h"
#include "support/StandInControls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class cl_PuppetMainAnimation;

// Tests of one control on the demo's hero: his puppet on the rig, and a control of that kind which a
// recording listener hears.
template <class Control> class HeroControlTest : public testing::Test
{
protected:
    HeroControlTest() { m_hero = m_rig.MakePuppet("characters_hero"); }
    ~HeroControlTest() override { m_hero.reset(); }

    // A new hero in place of the old one.
    void Rebuild() { m_hero = m_rig.MakePuppet("characters_hero"); }
    // The control registered under name, reading xml; what the puppet logged so far is forgotten.
    Control& Add(const std::string& name, const std::string& xml)
    {
        m_log.Clear();
        m_control = &m_rig.Add<Control>(*m_hero, name, xml, &m_listener);
        return *m_control;
    }
    // The clip of the path in the hero's weight tree.
    cl_PuppetMainAnimation* Clip(const char* path) const
    {
        return m_hero->ResolveAnimPath(path)->GetMainAnimation();
    }

    LogCapture m_log;
    DemoRig m_rig;
    std::unique_ptr<cl_ControlledPuppet> m_hero;
    Control* m_control = nullptr;
    RecordingControlListener m_listener;
};
