#pragma once

#include "assets/cl_SeqAction.h"

// Plays a movie ("movieref") through the game's video player and lasts until the clip is gone (ended or
// stopped). A skip of the sequence does not stop the movie.
class cl_PlayMovieAction : public cl_SeqAction
{
public:
    // Reads "movieref".
    explicit cl_PlayMovieAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "PlayMovieAction"; }
    void WriteXml(TiXmlElement& element) const override;
    void Update(float dt) override;
    void Skip() override {}

protected:
    void Start() override;

private:
    std::string m_movieRef;
};
