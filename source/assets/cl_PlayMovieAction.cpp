#include "assets/cl_PlayMovieAction.h"

#include "common/XmlHelpers.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_VideoPlayer.h"

#include <tinyxml.h>

cl_PlayMovieAction::cl_PlayMovieAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (element)
        m_movieRef = AttributeOrEmpty(*element, "movieref");
}

void cl_PlayMovieAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("movieref", m_movieRef);
}

void cl_PlayMovieAction::Start()
{
    NotifyStarted();
    if (const cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->GetVideoPlayer().Play(m_movieRef);
}

void cl_PlayMovieAction::Update(float)
{
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    if (!IsDone() && (!hub || !hub->GetVideoPlayer().IsPlaying()))
        Finish(true);
}
