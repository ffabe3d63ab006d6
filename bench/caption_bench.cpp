// Time of a caption change with its geometry update: our text area ("TarqTextArea", which wraps, measures
// and sets its height at every layout) beside OGRE's own TextAreaOverlayElement, same font and size, on
// captions that fit their element so that nothing wraps. Each change alternates between two captions so
// that every update really lays the text out.
//
// After Google Benchmark's own runs, both are timed again in interleaved rounds and the ratio of our time
// to OGRE's is printed last.
#include "gui/CaptionText.h"
#include "support/OverlayWindow.h"

#include <benchmark/benchmark.h>

#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace
{
// Both text areas in one overlay of a window, drawn once so that OGRE knows the viewport.
class Texts
{
public:
    Texts()
    {
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        Ogre::Overlay* overlay = overlays.create("bench");
        auto* panel = static_cast<Ogre::OverlayContainer*>(overlays.createOverlayElement("Panel", "panel"));
        panel->setDimensions(1.0f, 1.0f);
        overlay->add2D(panel);
        for (Ogre::OverlayElement** text : {&m_ours, &m_ogres})
        {
            *text = overlays.createOverlayElement(text == &m_ours ? "TarqTextArea" : "TextArea",
                                                  text == &m_ours ? "ours" : "ogres");
            (*text)->setParameter("font_name", "FormalOutline");
            (*text)->setParameter("char_height", "0.0375");
            (*text)->setDimensions(1.0f, 0.0f);
            panel->addChild(*text);
        }
        overlay->show();
        m_window.Render();
    }

    // One caption change and its layout.
    static void Change(Ogre::OverlayElement& text, long count)
    {
        text.setCaption(CAPTIONS[count & 1]);
        text._update();
    }

    Ogre::OverlayElement& Ours() const { return *m_ours; }
    Ogre::OverlayElement& Ogres() const { return *m_ogres; }

private:
    static const Ogre::UTFString CAPTIONS[2];

    OverlayWindow m_window{800, 600};
    Ogre::OverlayElement* m_ours = nullptr;
    Ogre::OverlayElement* m_ogres = nullptr;
};

const Ogre::UTFString Texts::CAPTIONS[2] = {CaptionFromUtf8("Irgendwo im Turm liegt ein Schl\xC3\xBCssel."),
                                            CaptionFromUtf8("Schl\xC3\xBCssel an der T\xC3\xBCr benutzen")};

Texts& Shared()
{
    static Texts texts;
    return texts;
}

void BM_CaptionChangeOurs(benchmark::State& state)
{
    long count = 0;
    for (auto _ : state)
        Texts::Change(Shared().Ours(), count++);
    state.SetItemsProcessed(count);
}
BENCHMARK(BM_CaptionChangeOurs);

void BM_CaptionChangeOgres(benchmark::State& state)
{
    long count = 0;
    for (auto _ : state)
        Texts::Change(Shared().Ogres(), count++);
    state.SetItemsProcessed(count);
}
BENCHMARK(BM_CaptionChangeOgres);

double Seconds(Ogre::OverlayElement& text, long changes)
{
    const auto start = std::chrono::steady_clock::now();
    for (long count = 0; count < changes; ++count)
        Texts::Change(text, count);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Both in turn, round after round; then the ratio. False when our text area laid nothing out (it sets its
// height to its text's).
bool CompareInterleaved()
{
    constexpr int ROUNDS = 10;
    constexpr long CHANGES = 20000;
    double ours = 0.0;
    double ogres = 0.0;
    for (int round = 0; round < ROUNDS; ++round)
    {
        ours += Seconds(Shared().Ours(), CHANGES);
        ogres += Seconds(Shared().Ogres(), CHANGES);
    }
    const double changes = static_cast<double>(ROUNDS) * CHANGES;
    std::printf("\nInterleaved, %d rounds, microseconds per caption change with its layout:\n", ROUNDS);
    std::printf("  ours (TarqTextArea):             %8.3f\n", ours / changes * 1e6);
    std::printf("  OGRE's TextAreaOverlayElement:   %8.3f\n", ogres / changes * 1e6);
    if (Shared().Ours().getHeight() <= 0.0f)
    {
        std::printf("our text area laid nothing out\n");
        return false;
    }
    std::printf("ratio ours / OGRE's text area, time per change (goal: 1.3 or less): %.2f\n", ours / ogres);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return CompareInterleaved() ? 0 : 1;
}
